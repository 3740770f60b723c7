#!/usr/bin/env bash
# Serves the simulated `small` array through OpenPegasus with the provider
# module registered, as scripts/run.sh does through the embedded server:
# builds OpenPegasus and CIMPLE (scripts/third-party.sh, reused from its
# cache), the module against them (preset "openpegasus", build/openpegasus)
# and the simulator and credkeep (preset SMIS_PRESET, default "default";
# the variant builds only the module), makes a repository with the module's classes and
# registration (scripts/openpegasus-repository.sh), starts arraysim and
# OpenPegasus on a work directory of their own, stores the array's
# command-line login, and prints wbemcli and cimcli commands. HTTP only, on
# 127.0.0.1, no authentication. Ctrl-C stops both.
#   CIMSERVER_PORT (default 5988) sets the HTTP port.
# One OpenPegasus server of a third-party build runs at a time (its pid file
# and start lock are in <cache>/pegasus/run): the script holds
# <cache>/.server.lock while it runs, as the tests do.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/third-party.sh >/dev/null
# The third-party build's locations, taken apart from its environment: the
# project's own programs must not load its libraries (LD_LIBRARY_PATH).
# shellcheck source=third-party-cache.sh
. scripts/third-party-cache.sh
third_party=$(require_third_party_cache && echo "$PEGASUS_HOME" && echo "$LD_LIBRARY_PATH")
pegasus_home=$(sed -n 1p <<<"$third_party")
pegasus_libs=$(sed -n 2p <<<"$third_party")
cmake --preset openpegasus >/dev/null
cmake --build --preset openpegasus -j "$(nproc)" --target arrayprov arrayschema_mof arrayprov_registration_mof
tools_preset="${SMIS_PRESET:-default}"
cmake --preset "$tools_preset" >/dev/null
cmake --build --preset "$tools_preset" -j "$(nproc)" --target arraysim arraysim-plink credkeep

build=build/openpegasus
tools="build/$tools_preset"
port="${CIMSERVER_PORT:-5988}"
work="$(mktemp -d "${TMPDIR:-/tmp}/kestris-openpegasus-XXXXXX")"
install="$work/install"
home="$work/pegasus"
mkdir -p "$home"

exec 8>"$cache/.server.lock"
flock -n 8 || { echo "another OpenPegasus server of $cache is running (a test or this script); try again when it ends"; exit 1; }

# shellcheck source=simulated-array.sh
. scripts/simulated-array.sh
trap stop_demo INT TERM EXIT

bash scripts/openpegasus-repository.sh "$build/mof/arrayprov-classes.mof" "$build/mof/arrayprov-registration.mof" \
  "$home" >/dev/null
# The server's home: its repository, and the third-party build's programs
# (provider agent) and libraries (provider managers).
ln -s "$pegasus_home/bin" "$home/bin"
ln -s "$pegasus_home/lib" "$home/lib"

start_simulated_array "$tools" "$work" "$install"

# The module reads its install directory from SMIS_INSTALL_DIR; the provider
# agent the server starts for it inherits the server's environment.
SMIS_INSTALL_DIR="$install" PEGASUS_HOME="$home" LD_LIBRARY_PATH="$pegasus_libs" "$pegasus_home/bin/cimserver" -D "$home" daemon=false \
  enableHttpConnection=true httpPort="$port" enableHttpsConnection=false enableAuthentication=false \
  listenAddress=127.0.0.1 repositoryDir="$home/repository" providerDir="$PWD/$build/lib" \
  >"$work/cimserver.log" 2>&1 &
server_pid=$!
ready=""
for _ in $(seq 1 600); do
  if LD_LIBRARY_PATH="$pegasus_libs" "$pegasus_home/bin/cimcli" nc -n interop -l "127.0.0.1:$port" >/dev/null 2>&1; then
    ready=yes
    break
  fi
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/cimserver.log"; exit 1; }
  sleep 0.1
done
[ -n "$ready" ] || { cat "$work/cimserver.log"; echo "OpenPegasus did not start"; exit 1; }

url="http://127.0.0.1:$port/root/kestris"
echo
echo "The simulated array is served through OpenPegasus at $url"
echo "(install directory of the module $install, server home $home)."
print_example_commands "$url" "$address"
cat <<TXT
wbemcli cannot read an answer of OpenPegasus that carries its EMBEDDEDOBJECT
attribute (class definitions, the interop classes); its own cimcli can:
  $pegasus_home/bin/cimcli gc VELDARO_StorageVolume -n root/kestris -l 127.0.0.1:$port
The profiles, from OpenPegasus's interop name space:
  $pegasus_home/bin/cimcli ni CIM_RegisteredProfile -n interop -l 127.0.0.1:$port
  $pegasus_home/bin/cimcli an 'PG_RegisteredProfile.InstanceID="SNIA+Array+1.4.0"' -n interop -l 127.0.0.1:$port
(with LD_LIBRARY_PATH=$pegasus_libs).
The server's output: $work/cimserver.log
Press Ctrl-C to stop the server and the simulator.
TXT
wait "$server_pid"
