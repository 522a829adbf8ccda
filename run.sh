#!/usr/bin/env bash
# Installs what is missing, builds the Release binaries and starts Lintrim:
# the window where there is a display, otherwise the command-line demo.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build Release
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/lintrim
fi
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the command-line demo instead."
scripts/demo.sh build/bin/lintrim-cli
