#!/usr/bin/env bash
# Builds the AddressSanitizer+UndefinedBehaviorSanitizer preset and runs every test.
# Extra arguments go to ctest (for example: -L unit, -R Credkeep).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$(nproc)"
ctest --preset asan "$@"
