#!/usr/bin/env bash
# Inspects a Windows build of the installer: its PE machine, that it is a
# Windows GUI program, and that it imports no DLL beyond KERNEL32, USER32
# and msvcrt. Prints its size.
# Usage: inspect.sh PROGRAM EXPECTED_FORMAT OBJDUMP
set -euo pipefail
program=$1 format=$2 objdump=$3

headers=$("$objdump" -p "$program")
fail() { echo "FAIL: $*"; echo "$headers" | grep -E 'file format|\(Windows|DLL Name'; exit 1; }

grep -q "file format $format\$" <<<"$headers" || fail "not $format"
grep -qE '[[:space:]]00000002[[:space:]]+\(Windows GUI\)$' <<<"$headers" || fail "not a Windows GUI program"
imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print $3}' | sort | tr '\n' ' ')
[[ $imports == "KERNEL32.dll USER32.dll msvcrt.dll " ]] || fail "imports are: $imports"

echo "$(basename "$program") ($format): Windows GUI, imports ${imports}size $(stat -c %s "$program") bytes (stripped)"
