#!/usr/bin/env bash
# One installer run under valgrind's memcheck, on a small kit: the run must
# succeed with no memory error and no leak.
# Usage: valgrind_run.sh PROGRAM WORK_DIRECTORY
set -euo pipefail
program=$1 work=$2
rm -rf "$work"
mkdir -p "$work/INCLUDE"
cd "$work"
printf 'header\n' >zovik.h
printf 'old\n' >INCLUDE/zovik.h
head -c 300000 /dev/urandom >zovik.lib
mkfifo pipe.h
printf 'notes\n' >notes.txt

status=0
valgrind --quiet --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=all \
  --log-file="$work/valgrind.log" "$program" </dev/null || status=$?
cat "$work/valgrind.log"
[[ $status -eq 0 ]] || { echo "FAIL: status $status"; exit 1; }
[[ ! -s $work/valgrind.log ]] || { echo "FAIL: valgrind reported errors"; exit 1; }
[[ -f INCLUDE/zovik.h && -f LIB/zovik.lib && ! -e zovik.h && -p pipe.h ]] || { echo "FAIL: wrong tree"; exit 1; }
echo "valgrind memcheck: 0 errors, 0 leaks"
