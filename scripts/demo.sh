#!/usr/bin/env bash
# A short demonstration of lintrim-cli on a list written to a temporary folder.
set -euo pipefail
cli=$1
"$cli" --help
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf 'password\r\n123456\nqwerty\npassword\n\n123456\nletmein\n' > "$tmp/demo.txt"
echo
echo "Demo list $tmp/demo.txt before:"
cat -A "$tmp/demo.txt"
"$cli" "$tmp/demo.txt"
echo "after (file order kept, duplicates and empty lines gone, CR LF line ends):"
cat -A "$tmp/demo.txt"
