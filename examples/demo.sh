#!/usr/bin/env bash
# The demonstration run by `make demo`.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Brenvik demo: the platform layer is built; build/tests holds its tests."
