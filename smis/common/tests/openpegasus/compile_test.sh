#!/usr/bin/env bash
# SMIS_TraceLog compiles against the real OpenPegasus common library (its
# headers from the third-party build, not the project's Pegasus layer) and
# links against its libpegcommon with no symbol left undefined. Without the
# third-party build it fails, naming what is missing.
set -euo pipefail
src=$(cd "$(dirname "$0")/../../../.." && pwd)
# shellcheck source=../../../../scripts/third-party-cache.sh
. "$src/scripts/third-party-cache.sh"
require_third_party_cache
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Only the real headers are on the path: the project's layer is not.
"${CXX:-g++}" -std=c++20 -Wall -Wextra -Werror -fPIC -shared -DPEGASUS_PLATFORM_LINUX_X86_64_GNU \
  -isystem "$PEGASUS_ROOT/src" -I "$src/smis/common" "$src/smis/common/SMIS_TraceLog.cpp" \
  -L "$PEGASUS_HOME/lib" -lpegcommon -Wl,--no-undefined -o "$work/libtracelog.so"
echo "SMIS_TraceLog compiles and links against OpenPegasus in $PEGASUS_HOME"
