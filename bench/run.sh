#!/usr/bin/env bash
# Times zovik-install against what a user would run instead, each on a
# fresh copy of the same synthetic kit, and counts system calls per file.
#
# Usage: bench/run.sh [PROGRAM]   (default: build/default/zovik-install)
# Environment: HEADERS (2000), LIBRARIES (4), LIBRARY_MIB (64), RUNS (7),
#   SCALE_RUNS (3), SCALING (1: also 10x files and 10x bytes),
#   BENCH_DIR (/tmp/zovik-bench; needs about 3 GiB with SCALING=1).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$here/../build/default/zovik-install}")
headers=${HEADERS:-2000} libraries=${LIBRARIES:-4} library_mib=${LIBRARY_MIB:-64}
runs=${RUNS:-7} scale_runs=${SCALE_RUNS:-3} scaling=${SCALING:-1}
dir=${BENCH_DIR:-/tmp/zovik-bench}
for tool in hyperfine strace rsync python3; do
  command -v "$tool" >/dev/null || { echo "bench: $tool is not installed" >&2; exit 1; }
done
mkdir -p "$dir"

# make_kit DIR HEADERS LIBRARIES MIB: headers of 4 KiB, libraries of MIB
# MiB, and a few files that are not the kit's.
make_kit() {
  local kit=$1 h=$2 l=$3 mib=$4
  rm -rf "$kit"
  mkdir -p "$kit"
  head -c $((h * 4096)) /dev/urandom | split -a 6 -d -b 4096 --additional-suffix=.h - "$kit/zovik_"
  for ((i = 0; i < l; i++)); do head -c $((mib << 20)) /dev/urandom >"$kit/zovik$i.lib"; done
  printf 'ZOVIK\n' >"$kit/README.txt"
  printf 'notes\n' >"$kit/notes.md"
  printf 'x\n' >"$kit/build.hpp"
}

commands=(
  "zovik-install|$program </dev/null 2>/dev/null"
  "mv (rename)|mkdir -p INCLUDE LIB && mv -- *.h INCLUDE/ && mv -- *.lib LIB/"
  "cp -p + rm|mkdir -p INCLUDE LIB && cp -p -- *.h INCLUDE/ && rm -- *.h && cp -p -- *.lib LIB/ && rm -- *.lib"
  "cp -p + rm + sync|mkdir -p INCLUDE LIB && cp -p -- *.h INCLUDE/ && rm -- *.h && cp -p -- *.lib LIB/ && rm -- *.lib && sync"
  "rsync --fsync|mkdir -p INCLUDE LIB && rsync -a --fsync --remove-source-files -- *.h INCLUDE/ && rsync -a --fsync --remove-source-files -- *.lib LIB/"
)

# bench NAME HEADERS LIBRARIES MIB RUNS: times every command on the kit.
bench() {
  local name=$1 template="$dir/template-$1" work="$dir/work"
  make_kit "$template" "$2" "$3" "$4"
  local args=()
  for entry in "${commands[@]}"; do
    args+=(--command-name "${entry%%|*}" "cd '$work' && ${entry#*|}")
  done
  hyperfine --shell=bash --style basic --runs "$5" \
    --prepare "rm -rf '$work' && cp -a '$template' '$work' && sync" \
    --export-json "$dir/$name.json" "${args[@]}" >"$dir/$name.log"
  rm -rf "$work" "$template"
}

# System calls per moved file, flushes left out.
syscalls_per_file() {
  local template="$dir/template-strace" work="$dir/work" files=$(($1 + $2))
  make_kit "$template" "$1" "$2" 1
  for entry in "${commands[0]}" "${commands[2]}"; do
    rm -rf "$work" && cp -a "$template" "$work" && sync
    (cd "$work" && strace -f -c -o "$dir/strace.txt" bash -c "${entry#*|}")
    awk -v name="${entry%%|*}" -v files="$files" '
      $NF ~ /^(fsync|fdatasync|sync|syncfs)$/ { flushes += $4 }
      $NF == "total" { total = $4 }
      END { printf "| %s | %.1f | %.1f |\n", name, (total - flushes) / files, flushes / files }' "$dir/strace.txt"
  done
  rm -rf "$work" "$template"
}

echo "Kit: $headers headers of 4 KiB, $libraries libraries of $library_mib MiB, 3 other files; $runs runs each."
bench default "$headers" "$libraries" "$library_mib" "$runs"
if [[ $scaling == 1 ]]; then
  bench files "$((headers * 10))" "$libraries" "$library_mib" "$scale_runs"
  bench bytes "$headers" "$libraries" "$((library_mib * 10))" "$scale_runs"
fi
bench large 8 "$libraries" "$library_mib" "$runs" # a few large libraries (and a few headers)

python3 - "$dir" "$scaling" <<'PY'
import json, statistics, sys
d, scaling = sys.argv[1], sys.argv[2] == "1"
kits = [("default", "default kit")] + ([("files", "10x files"), ("bytes", "10x bytes")] if scaling else []) + [("large", "8 headers + libraries")]
medians = {}
for key, _ in kits:
    for r in json.load(open(f"{d}/{key}.json"))["results"]:
        medians[(key, r["command"])] = statistics.median(r["times"])
names = [r["command"] for r in json.load(open(f"{d}/default.json"))["results"]]
print("\n| command | " + " | ".join(label for _, label in kits) + " |")
print("|---|" + "---|" * len(kits))
for n in names:
    cells = []
    for key, _ in kits:
        m = medians[(key, n)]
        ratio = medians[(key, "zovik-install")] / m
        cells.append(f"{m:.3f} s" + ("" if n == "zovik-install" else f" ({ratio:.2f}x)"))
    print(f"| {n} | " + " | ".join(cells) + " |")
print("\n(x): zovik-install's median divided by the command's; below 1 means zovik-install is faster.")
PY

echo
echo "| command | system calls per file, flushes left out | flushes per file |"
echo "|---|---|---|"
syscalls_per_file "$headers" "$libraries"
