#!/usr/bin/env bash
# Installs what is missing, builds the Release binaries and starts Lintrim.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build Release
scripts/demo.sh build/bin/lintrim-cli
