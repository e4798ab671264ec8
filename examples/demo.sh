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
