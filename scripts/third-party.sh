#!/usr/bin/env bash
# Builds OpenPegasus and CIMPLE from the source archives in ../shared/third_party/
# into a cache folder outside the source tree, for the build variant that runs
# the provider module under the real CIM server and provider framework.
#
#   SMIS_THIRD_PARTY_CACHE  the cache folder (default $XDG_CACHE_HOME/smis-third-party,
#                           or ~/.cache/smis-third-party)
#   SMIS_THIRD_PARTY_DIR    the folder holding the archives (default ../shared/third_party)
#   SMIS_THIRD_PARTY_JOBS   parallel make jobs (default 4)
#
# A finished build is reused; it is rebuilt when an archive's checksum or one of
# the adjustments in scripts/third-party/ differs from what the cache recorded.
# Prints the cache folder on its last line. Layout of the cache:
#   pegasus/        PEGASUS_HOME: bin/, lib/, repository/ (OpenPegasus 2.14.4)
#   cimple/         CIMPLE 2.0.25 installed: include/, lib/, bin/
#   src/            the unpacked archives (PEGASUS_ROOT is src/OpenPegasus/pegasus)
#   env.sh          the environment both builds used, for sourcing
#   stamp           the checksums the build was made from
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
archives=${SMIS_THIRD_PARTY_DIR:-$root/../shared/third_party}
# shellcheck source=third-party-cache.sh
. "$here/third-party-cache.sh"
jobs=${SMIS_THIRD_PARTY_JOBS:-4}
pegasus_archive=$archives/openpegasus-ead83a9.tar.gz
cimple_archive=$archives/cimple-fcaedf2.tar.gz

for f in "$pegasus_archive" "$cimple_archive"; do
  [ -f "$f" ] || { echo "third-party.sh: missing archive $f" >&2; exit 1; }
done
bash "$root/scripts/deps.sh" make patch

mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
# One build at a time per cache (CI and a developer may share it).
exec 9>"$cache/.lock"
flock 9
# The build's own time, not the wait for another run's lock.
SECONDS=0

# What a build depends on: the archives, the adjustments and the settings.
pegasus_settings="PEGASUS_PLATFORM=LINUX_X86_64_GNU PEGASUS_SKIP_MOST_TEST_DIRS=true PEGASUS_INTEROP_NAMESPACE=interop"
cimple_options="--enable-embedded-instances"
stamp=$( (sha256sum "$pegasus_archive" "$cimple_archive" | cut -d' ' -f1
          (cat "$here"/third-party/*.patch; echo "$pegasus_settings $cimple_options") | sha256sum | cut -d' ' -f1) )
if [ -f "$cache/stamp" ] && [ "$(cat "$cache/stamp")" = "$stamp" ]; then
  echo "third-party cache up to date"
  echo "$cache"
  exit 0
fi
rm -f "$cache/stamp"
rm -rf "$cache/src" "$cache/pegasus" "$cache/cimple"
mkdir -p "$cache/src" "$cache/pegasus/run" "$cache/cimple"
tar -xzf "$pegasus_archive" -C "$cache/src"
tar -xzf "$cimple_archive" -C "$cache/src"
patch -s -p1 -d "$cache/src/OpenPegasus" < "$here/third-party/pegasus-startfiles-dir.patch"
patch -s -p1 -d "$cache/src/CIMPLEWORK" < "$here/third-party/cimple-gcc12.patch"
# CIMPLE's registration tools name the server's default interop name space;
# this build's is "interop" (below).
patch -s -p1 -d "$cache/src/CIMPLEWORK" < "$here/third-party/cimple-interop-namespace.patch"

# The interop name space is "interop", the one the embedded server keeps its
# subscriptions in and the SMI-S well-known name, so a client finds profiles and
# subscribes in the same name space under either server.
# The start files (pid file, start lock, local socket) go under the cache, not
# the machine-wide /var/tmp, so a server of this build does not collide with
# another installation's.
cat > "$cache/env.sh" <<ENV
export PEGASUS_ROOT=$cache/src/OpenPegasus/pegasus
export PEGASUS_HOME=$cache/pegasus
$(for v in $pegasus_settings; do echo "export $v"; done)
export PEGASUS_EXTRA_CXX_FLAGS='-DPEGASUS_CIMSERVER_STARTFILES_DIR=\"$cache/pegasus/run\"'
export CIMPLE_HOME=$cache/cimple
export PATH=$cache/pegasus/bin:$cache/cimple/bin:\$PATH
export LD_LIBRARY_PATH=$cache/pegasus/lib:$cache/cimple/lib\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH}
ENV
# shellcheck source=/dev/null
. "$cache/env.sh"

log=$cache/build.log
: > "$log"
echo "building OpenPegasus (log: $log)"
# `make build` is not safe in parallel (depend.mak is read while written).
( cd "$PEGASUS_ROOT" && make -j"$jobs" depend && make -j"$jobs" all &&
  make setupdevserver && make repository ) >> "$log" 2>&1 ||
  { tail -30 "$log" >&2; echo "third-party.sh: OpenPegasus build failed" >&2; exit 1; }

pegasus_took=$SECONDS
echo "building CIMPLE"
( cd "$cache/src/CIMPLEWORK/cimple" &&
  ./configure --prefix="$CIMPLE_HOME" --libdir="$CIMPLE_HOME/lib" \
    --with-pegasus="$PEGASUS_HOME" --with-pegasus-libdir="$PEGASUS_HOME/lib" \
    --with-pegasus-includes="$PEGASUS_ROOT/src" $cimple_options &&
  make -j"$jobs" && make install ) >> "$log" 2>&1 ||
  { tail -30 "$log" >&2; echo "third-party.sh: CIMPLE build failed" >&2; exit 1; }

echo "$stamp" > "$cache/stamp"
minutes() { echo "$(($1 / 60)) min $(($1 % 60)) s"; }
took="third-party build took $(minutes "$SECONDS") at $jobs jobs"
took+=" (OpenPegasus $(minutes "$pegasus_took"), CIMPLE $(minutes $((SECONDS - pegasus_took))))"
took+=", load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
echo "$took" >> "$log"
echo "$took"
echo "third-party build done"
echo "$cache"
