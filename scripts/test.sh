#!/usr/bin/env bash
# Builds the AddressSanitizer+UndefinedBehaviorSanitizer preset and runs every
# test; then builds the default preset (the build scripts/run.sh makes and
# users run) and runs the end-to-end and slow tests there too, since memory,
# timing and the allocator behave differently without the sanitizers.
# Extra arguments go to the sanitizer run's ctest (for example: -L unit,
# -R Credkeep) and leave the default preset's run out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$(nproc)"
ctest --preset asan "$@"
if [ "$#" -eq 0 ]; then
    cmake --preset default >/dev/null
    cmake --build --preset default -j "$(nproc)"
    ctest --preset default -L 'e2e|slow'
fi
