#!/usr/bin/env bash
# Makes a sample ZOVIK kit in $2 and runs the installer ($1) in it.
set -euo pipefail
program=$1 kit=$2
rm -rf "$kit"
mkdir -p "$kit"
cd "$kit"
printf '#pragma once\nint zovik_add(int, int);\n' > zovik.h
printf '#pragma once\ndouble zovik_norm(const double *, int);\n' > Vector.H
head -c 65536 /dev/urandom > zovik.lib
head -c 4096 /dev/urandom > zovik_debug.LIB
printf 'ZOVIK numeric library\n' > README.txt

show_tree() { find . -mindepth 1 | LC_ALL=C sort | sed 's/^\.\//  /'; }
echo "Sample kit in $kit, before:"
show_tree
echo "Running $(basename "$program") ..."
status=0
"$program" || status=$?
echo "Exit status $status. After:"
show_tree
exit "$status"
