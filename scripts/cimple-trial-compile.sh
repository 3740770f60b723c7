#!/usr/bin/env bash
# Measures how far the provider module is from compiling against the real
# CIMPLE and Pegasus headers of the third-party build: compiles every source
# of arrayprov (providers, configuration engines, generated code) with only
# those headers for the framework, and prints the error sites (file:line, each
# once) by place and by kind. Headers the project's framework layer has and
# CIMPLE lacks are shimmed to <cimple/cimple.h> so the count goes past them.
#
#   cimple-trial-compile.sh [BUILD_DIR]     (default build/asan, built first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=third-party-cache.sh
. "$root/scripts/third-party-cache.sh"
require_third_party_cache
build=${1:-$root/build/asan}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/shim/cimple" "$work/out"
for h in "$root"/host/cimple/cimple/*.h; do
  name=$(basename "$h")
  [ -f "$CIMPLE_HOME/include/cimple/$name" ] ||
    { echo "#include <cimple/cimple.h>" > "$work/shim/cimple/$name"; echo "shimmed: cimple/$name"; }
done
flags=(-std=c++20 -fsyntax-only -w -fmax-errors=500 -DPEGASUS_PLATFORM_LINUX_X86_64_GNU
       -isystem "$work/shim" -isystem "$CIMPLE_HOME/include" -isystem "$PEGASUS_ROOT/src"
       -I "$root/smis/include" -I "$root/smis/common" -I "$root/smis/platform" -I "$root/smis/config"
       -I "$build/smis/schema/generated" -I "$build/smis/providers/generated")
for d in "$root"/smis/providers/*/; do flags+=(-I "$d"); done
cd "$root"
ls smis/providers/*/*.cpp smis/config/*.cpp "$build"/smis/providers/generated/*.cpp \
   "$build"/smis/schema/generated/schema_repository.cpp > "$work/units.txt"
n=$(wc -l < "$work/units.txt")
export work
# Four at a time: the machine is shared.
xargs -P 4 -I{} sh -c 'g++ "$@" "{}" > "$work/out/$(echo "{}" | tr / _).txt" 2>&1 || true' _ "${flags[@]}" \
  < "$work/units.txt"
cat "$work"/out/*.txt | grep -E "error:" | sort -u -t: -k1,2 > "$work/sites.txt" || true
echo "translation units: $n, with errors: $(grep -l "error:" "$work"/out/*.txt | wc -l)"
echo "error sites: $(wc -l < "$work/sites.txt")"
echo "by place:"
awk -F: '{ if ($1 ~ /schema\/generated/) p = "generated class headers";
           else if ($1 ~ /providers\/generated/) p = "generated provider code";
           else p = "hand-written sources"; print p }' "$work/sites.txt" | sort | uniq -c
echo "by kind:"
sed -E 's/^.* error: //; s/cimple:://g; s/[A-Z][A-Za-z0-9_]*_Provider/<P>/g; s/<(CIM|SNIA|VELDARO)_[A-Za-z0-9_]*>\*/<C>*/g' \
  "$work/sites.txt" | sed -E "s/‘(CIM|SNIA|VELDARO)_[A-Za-z0-9_]*(::~?(CIM|SNIA|VELDARO)_[A-Za-z0-9_]*)?\(\)’/‘<Class>::<ctor|dtor>()’/g" |
  sort | uniq -c | sort -rn
