#!/bin/sh
# Runs the README's example front end on a list with a repeat: the list is
# sorted and deduped in place, and its counts printed.
set -eu
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'b\na\nb\n' >"$dir/list.txt"
said=$("$1" "$dir/list.txt")
[ "$said" = "$dir/list.txt: 2 kept, 1 repeats" ] || { echo "printed: $said"; exit 1; }
[ "$(cat "$dir/list.txt")" = "$(printf 'a\nb')" ] || { echo "list: $(od -c "$dir/list.txt")"; exit 1; }
