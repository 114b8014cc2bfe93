#!/usr/bin/env bash
# Runs every test: the native suite, the same suite under AddressSanitizer
# and UndefinedBehaviorSanitizer, and the Windows suites where their
# toolchains are installed (with CI=true a missing toolchain is a failure).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset test
cmake --workflow --preset sanitize
