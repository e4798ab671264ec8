#!/usr/bin/env bash
# The demonstration run by `make demo`: builds the configuration record of the
# sample product in examples/sample, reads it back into the installer's
# configuration object, and runs a pass on the configuration's worker thread.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/demo
build/bin/brenvik-config-demo examples/sample/project.json build/demo/configuration.msg
echo
echo "The record, as the inspection tool reads it back:"
build/bin/brenvik-inspect message build/demo/configuration.msg | head -n 12
echo "..."

# The sample installer: brenvik-build appends the product's resources to the
# installer program, which then lists and extracts its own payload.
echo
build/bin/brenvik-build examples/sample/project.json -o build/demo/TarselNotes-Installer
echo
echo "Its resources, as the inspection tool lists them:"
if build/bin/brenvik-inspect resources build/demo/TarselNotes-Installer >build/demo/resources.txt 2>&1; then
    grep -v ':10[0-4][0-9]' build/demo/resources.txt | head -n 30
    echo "... and $(grep -c ':10[0-4][0-9]' build/demo/resources.txt) localized texts"
else
    echo "(brenvik-inspect cannot list resources yet)"
fi
echo
rm -rf build/demo/extracted && mkdir -p build/demo/extracted
build/demo/TarselNotes-Installer --extract build/demo/extracted
echo
echo "Extracted into build/demo/extracted:"
ls -lR build/demo/extracted

# The interface kit every installer window is made of: the gallery of its
# controls, drawn without a screen and written out as a picture.
echo
BRENVIK_DISPLAY=headless build/bin/brenvik-gallery --screenshot build/demo/gallery.png 2>/dev/null
echo "The control gallery, drawn headless: build/demo/gallery.png (run build/bin/brenvik-gallery for the window)"
