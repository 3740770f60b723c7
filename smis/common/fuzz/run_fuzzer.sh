#!/usr/bin/env bash
# Builds the container fuzzer with clang's libFuzzer and runs it for a bounded
# time. Usage: run_fuzzer.sh <source dir> <work dir> [seconds]
# Exits 77 (skipped) when clang++ or libFuzzer is not available.
set -euo pipefail
src=$1
work=$2
seconds=${3:-30}
here="$src/smis/common/fuzz"

clang=$(command -v clang++ || true)
if [[ -z "$clang" ]]; then
  echo "clang++ not found: fuzzer skipped"
  exit 77
fi
mkdir -p "$work/corpus"
cp -n "$here"/seeds/* "$work/corpus/" 2>/dev/null || true

if ! "$clang" -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$src/smis/include" -I"$src/smis/common" -I"$src/smis/platform" -I"$src/host/pegasus" \
    "$here/CMTContainerFuzzer.cpp" "$here/SMIS_TraceLogSilent.cpp" \
    "$src/smis/common/SMIS_CMT.cpp" "$src/smis/common/SMIS_CMTConvert.cpp" \
    "$src/smis/common/cnfg_config_mgmt_table.cpp" \
    -o "$work/cmt_container_fuzzer"; then
  echo "fuzzer build failed"
  exit 1
fi

cd "$work"
exec ./cmt_container_fuzzer -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 corpus
