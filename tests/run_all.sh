#!/usr/bin/env bash
# Runs every test: the native suite, the same suite under AddressSanitizer
# and UndefinedBehaviorSanitizer, and the Windows builds (both inspected,
# the 64-bit one's suite and end-to-end run under Wine). Without the Windows
# toolchains and Wine the Windows part is skipped, and says so; with
# CI=true a missing tool is a failure.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset test
cmake --workflow --preset sanitize

windows_tools=(i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix /usr/lib/wine/wine64 Xvfb xdotool xwd convert)
missing=()
for tool in "${windows_tools[@]}"; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
  if [[ ${CI:-} == true ]]; then
    echo "FAILED: the Windows tests need ${missing[*]}, which are not installed" >&2
    exit 1
  fi
  echo
  echo "*** Windows tests SKIPPED: ${missing[*]} not installed (.ci/run installs them). ***"
  exit 0
fi

cmake --workflow --preset windows-x86
cmake --workflow --preset windows-x64
