#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need
# (scripts/packages.txt), and those of each list file or package named on
# the command line, skipping those already installed. Run as root (or with
# sudo available).
#   install-deps.sh [LIST-FILE | PACKAGE]...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
packages() { grep -v -E '^\s*(#|$)' "$1"; }
mapfile -t wanted < <(packages "$here/packages.txt")
for named in "$@"; do
    if [ -f "$named" ]; then
        mapfile -t -O "${#wanted[@]}" wanted < <(packages "$named")
    else
        wanted+=("$named")
    fi
done
missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
