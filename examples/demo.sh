#!/usr/bin/env bash
# The demonstration run by `make demo`: builds the configuration record of the
# sample product in examples/sample and the sample installer, shows what the
# installer carries, and then runs the installer into a private sandbox below
# build/demo/sandbox (its own HOME, XDG folders and BRENVIK_ROOT), so that the
# demonstration never touches the real home folder.
#
# With a display the installer's window opens for you to walk through. Without
# one (or with BRENVIK_DISPLAY=headless) a UI-driver script walks it: licence,
# install type, destination, Install, completion, with a screenshot of each
# step in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/demo
build/bin/brenvik-config-demo examples/sample/project.json build/demo/configuration.msg
echo
echo "The record, as the inspection tool reads it back:"
# Through a file: the whole print is long, and a pipe cut short would end the
# demonstration.
build/bin/brenvik-inspect message build/demo/configuration.msg >build/demo/configuration.txt
head -n 12 build/demo/configuration.txt
echo "..."

# The sample installer: brenvik-build appends the product's resources to the
# installer program, which then lists and extracts its own payload.
echo
build/bin/brenvik-build examples/sample/project.json -o build/demo/TarselNotes-Installer
echo
echo "Its resources, as the inspection tool lists them:"
if build/bin/brenvik-inspect resources build/demo/TarselNotes-Installer >build/demo/resources.txt 2>&1; then
    # sed reads to the end: head would close the pipe early under pipefail.
    grep -v ':1[01][0-9][0-9]' build/demo/resources.txt | sed -n '1,30p'
    echo "... and $(grep -c ':1[01][0-9][0-9]' build/demo/resources.txt) localized texts"
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

# The installer itself, run into a sandbox of its own.
echo
sandbox="$PWD/build/demo/sandbox"
rm -rf "$sandbox"
mkdir -p "$sandbox/home" "$sandbox/root"
cp build/demo/TarselNotes-Installer "$sandbox/TarselNotes-Installer"
export HOME="$sandbox/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache" XDG_STATE_HOME="$HOME/.local/state"
export XDG_RUNTIME_DIR="$sandbox/run" XDG_DATA_DIRS="$sandbox/root/usr/share"
export XDG_CONFIG_DIRS="$sandbox/root/etc/xdg"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export BRENVIK_ROOT="$sandbox/root"
# Restarting, launching and opening folders are written down here instead.
export BRENVIK_ACTIONS_LOG="$sandbox/actions.log"
# Root started by sudo ignores that log and the UI script (see
# docs/standard-folders.md); the demo's sandbox is no sudo run.
unset SUDO_UID
export BRENVIK_SCOPE=user

headless=0
if [ "${BRENVIK_DISPLAY:-}" = headless ] || { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; }; then
    headless=1
fi

status=0
if [ "$headless" = 1 ]; then
    shots="$PWD/build/demo"
    rm -f "$shots"/installer-*.png
    script="$sandbox/walkthrough.txt"
    cat >"$script" <<SCRIPT
timeout 60
wait-window TarselNotes-Installer
wait-text button Agree
screenshot $shots/installer-1-license.png
click-label Agree
wait-text button Install
tick install_type 0
screenshot $shots/installer-2-destination.png
dump $sandbox/destination.txt
click-label Install
wait-text instruction Installation Complete
screenshot-window TarselNotes-Installer $shots/installer-3-installing.png
wait-text _b0_ OK
screenshot $shots/installer-4-complete.png
alert OK
wait-quit
SCRIPT
    echo "Running the sample installer headless, walked by $script"
    # No sound device is needed to watch a script.
    SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" BRENVIK_DISPLAY=headless BRENVIK_UI_SCRIPT="$script" \
        "$sandbox/TarselNotes-Installer" || status=$?
    echo "Screenshots of its steps:"
    ls -1 "$shots"/installer-*.png 2>/dev/null | sed 's/^/  /'
else
    echo "The sample installer opens on your display; walk through it."
    "$sandbox/TarselNotes-Installer" || status=$?
fi

record=$(find "$sandbox" -name Log -path '*TarselNotes*' 2>/dev/null | sed -n '1p')
if [ "$status" = 0 ] && [ -n "$record" ]; then
    echo "Installed into $(dirname "$record") (the sandbox's home is $HOME)"
    echo "Its log: $record"
else
    echo "The installer ended with status $status: nothing was installed."
fi
exit "$status"
