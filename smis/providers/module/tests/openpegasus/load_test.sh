#!/usr/bin/env bash
# The module's generated MOF (classes and provider registration) loads into an
# OpenPegasus repository made from the third-party build, and the repository
# then holds every feature of the module's class records and every provider of
# its table. Without the third-party build it fails, naming what is missing.
#
#   load_test.sh BUILD_DIR        (BUILD_DIR holds mof/, e.g. build/asan)
set -euo pipefail
src=$(cd "$(dirname "$0")/../../../../.." && pwd)
build=${1:?usage: $0 BUILD_DIR}
# shellcheck source=../../../../../scripts/third-party-cache.sh
. "$src/scripts/third-party-cache.sh"
require_third_party_cache
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$src/scripts/openpegasus-repository.sh" "$build/mof/arrayprov-classes.mof" \
  "$build/mof/arrayprov-registration.mof" "$work" > "$work/load.log" 2>&1 ||
  { cat "$work/load.log" >&2; exit 1; }
python3 -B "$src/smis/providers/module/tests/openpegasus/check_repository.py" "$work/repository" \
  "$src/smis/providers/module/gen/providers.table" "$src"/smis/schema/source/*.schema
