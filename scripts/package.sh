#!/usr/bin/env bash
# Makes the Debian package of Lintrim from a Release build in BUILD_DIR
# (default build) and prints its path, the only line on standard output;
# everything else goes to standard error. With --lintian, lintian checks the
# package and its findings are printed; an error among them fails the script.
#   scripts/package.sh [--lintian] [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
lint=false
[ "${1:-}" = --lintian ] && { lint=true; shift; }
dir=${1:-build}
if $lint; then "$top/scripts/install-deps.sh" lintian >&2; else "$top/scripts/install-deps.sh" >&2; fi
# The changelog is dated by the last commit, so one commit makes one package.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null || date +%s)}
export SOURCE_DATE_EPOCH
# The build comes just before cpack, so cpack need not check it again.
"$top/scripts/build.sh" "$dir" Release "" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >&2
made=$(cd "$top/$dir" && cpack -G DEB)
echo "$made" >&2
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$made")
[ -f "$deb" ] || { echo "package.sh: cpack named no .deb" >&2; exit 1; }
if $lint; then
    lintian --info --display-info --fail-on error "$deb" >&2
fi
echo "$deb"
