#!/bin/sh
# SPDX-License-Identifier: MIT
# make clean with a build folder whose name holds a blank removes that folder alone: a folder
# named by the name's first word stays, and so does a roster saved in the one cleaned.
set -eu
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/my" "$work/my build/bin" "$work/my build/CMakeFiles"
cp "$source_dir/Makefile" "$work/"
cp "$source_dir/data/players.txt" "$work/data/"
touch "$work/my/keep"
echo "a roster of my own" > "$work/my build/bin/players.txt"
make --no-print-directory -C "$work" clean BUILD="my build" ASAN_BUILD="my asan" FUZZ_BUILD="my fuzz" >/dev/null
[ -f "$work/my/keep" ] || { echo "make clean removed ./my"; exit 1; }
[ -f "$work/my build/bin/players.txt" ] || { echo "make clean removed the saved roster"; exit 1; }
[ ! -e "$work/my build/CMakeFiles" ] || { echo "make clean left the build folder's files"; exit 1; }
echo "make clean removed only the folder named by BUILD"
