#!/usr/bin/env bash
# Checks a Debian package of Lintrim without installing it: the package is
# unpacked into a scratch folder (dpkg -x), whose lintrim-cli cleans a list
# there; its files, their owners and the libraries it depends on are checked,
# and its desktop entry and AppStream metainfo validated.
#   scripts/test-package.sh DEB
set -euo pipefail
deb=$(realpath "$1")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "test-package: $*" >&2; exit 1; }
dpkg -x "$deb" "$root"
cli=$root/usr/bin/lintrim-cli

version=$(dpkg-deb -f "$deb" Version)
[ "$("$cli" --version)" = "lintrim-cli ${version%-*}" ] || fail "lintrim-cli --version is not $version"
printf 'b\r\na\nb\n\nc\na' > "$root/list"
"$cli" -q "$root/list" >/dev/null
[ "$(od -An -c "$root/list")" = "$(printf 'b\na\nc\n' | od -An -c)" ] || fail "list cleaned wrongly"

metainfo=share/metainfo/io.github.lintrim.lintrim.metainfo.xml
for f in bin/lintrim bin/lintrim-cli share/applications/lintrim.desktop \
    share/icons/hicolor/scalable/apps/lintrim.svg $metainfo share/doc/lintrim/copyright; do
    [ -s "$root/usr/$f" ] || fail "no /usr/$f"
done
# Each icon is a PNG of its folder's size.
for size in 16 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/lintrim.png" |
        grep -q ": PNG image data, $size x $size," || fail "no ${size}x${size} icon"
done
# The desktop entry and the metainfo are valid (no address is fetched), the
# entry hands the files it is opened with to the program, and the metainfo
# is of the package's version and names an entry the package holds
# (validate-tree looks the entry up).
entry=$root/usr/share/applications/lintrim.desktop
desktop-file-validate "$entry" || fail "lintrim.desktop is invalid"
grep -qx 'Exec=lintrim %F' "$entry" || fail "lintrim.desktop passes no files"
appstreamcli validate --no-net "$root/usr/$metainfo" >&2 || fail "$metainfo is invalid"
appstreamcli validate-tree --no-net "$root" >&2 || fail "the metainfo's desktop entry is missing"
grep -q "<release version=\"${version%-*}\"" "$root/usr/$metainfo" ||
    fail "$metainfo is not of version ${version%-*}"
for program in lintrim lintrim-cli; do
    file "$root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
# Debian's gzip form: no time stamp (bytes 4 to 7 zero) and a whole stream.
for gz in man/man1/lintrim.1.gz man/man1/lintrim-cli.1.gz doc/lintrim/changelog.Debian.gz; do
    [ "$(od -An -tx1 -j4 -N4 "$root/usr/share/$gz" | tr -d ' ')" = 00000000 ] &&
        gzip -t "$root/usr/share/$gz" || fail "/usr/share/$gz is no reproducible gzip"
done
# Each page is the program's, and roff reads all of it: a line taken for an
# unknown request would vanish from the page without a word.
for page in lintrim lintrim-cli; do
    gz=$root/usr/share/man/man1/$page.1.gz
    zgrep -q "^\.TH ${page^^} 1" "$gz" || fail "$page.1.gz is not the page of $page"
    warnings=$(zcat "$gz" | groff -man -ww -z -Tutf8 2>&1)
    [ -z "$warnings" ] || fail "$page.1.gz: $warnings"
done
bash -c 'source "$1" && complete -p lintrim-cli' _ "$root/usr/share/bash-completion/completions/lintrim-cli" \
    >/dev/null || fail "the completion does not complete lintrim-cli"

[ -z "$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')" ] || fail "a file not owned by root"
depends=$(dpkg-deb -f "$deb" Depends | sed 's/ *([^)]*)//g; s/, */\n/g')
for package in libqt6widgets6 libqt6gui6 libqt6core6 zlib1g liblzma5 libzstd1 libbz2-1.0 liblz4-1 libstdc++6 libc6; do
    grep -qxF "$package" <<<"$depends" || fail "Depends lacks $package:" $depends
done
echo "Package $(basename "$deb") checked."
