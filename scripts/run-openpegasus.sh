#!/usr/bin/env bash
# Serves the simulated `small` array through OpenPegasus with the provider
# module registered, as scripts/run.sh does through the embedded server:
# builds OpenPegasus and CIMPLE (scripts/third-party.sh, reused from its
# cache), the module against them (preset "openpegasus", build/openpegasus)
# and the simulator and credkeep (preset SMIS_PRESET, default "default";
# the variant builds only the module), makes a repository with the module's classes and
# registration (scripts/openpegasus-repository.sh), starts arraysim and
# OpenPegasus on a work directory of their own (the server's home with its
# configuration there, nothing written into the third-party build), stores
# the array's command-line login, sends the first request that loads the
# module and waits for its first polled tables, and prints wbemcli and
# cimcli commands. HTTP only, on 127.0.0.1, no authentication. The module's
# log records go to the install directory's log/ (OpenPegasus's trace file
# of the LogMessages component: this build logs to syslog only). Ctrl-C
# stops both.
#   CIMSERVER_PORT (default 5988) sets the HTTP port.
# One OpenPegasus server of a third-party build runs at a time (its pid file
# and start lock are in <cache>/pegasus/run): the server holds
# <cache>/.server.lock while it runs (scripts/openpegasus.sh), as the tests do.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/third-party.sh >/dev/null
# The third-party build's programs run through scripts/openpegasus.sh, which
# gives its environment to them alone: the project's own programs must not
# load its libraries (LD_LIBRARY_PATH).
# shellcheck source=third-party-cache.sh
. scripts/third-party-cache.sh
pegasus() { bash scripts/openpegasus.sh "$@"; }
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

# Fails early when another server of the build runs; scripts/openpegasus.sh
# takes the lock for the server's lifetime.
exec 8>"$cache/.server.lock"
flock -n 8 || { echo "another OpenPegasus server of $cache is running (a test or this script); try again when it ends"; exit 1; }
exec 8>&-

# shellcheck source=simulated-array.sh
. scripts/simulated-array.sh
trap stop_demo INT TERM EXIT

# The server's home: its repository, and the third-party build's programs
# (provider agent) and libraries (provider managers, its own providers).
bash scripts/openpegasus-repository.sh "$build/mof/arrayprov-classes.mof" "$build/mof/arrayprov-registration.mof" \
  "$home" >/dev/null

start_simulated_array "$tools" "$work" "$install"

# The module reads its install directory from SMIS_INSTALL_DIR; the provider
# agent the server starts for it inherits the server's environment.
# providerDir replaces the server's default: its own providers' folder first.
SMIS_INSTALL_DIR="$install" bash scripts/openpegasus.sh --home "$home" cimserver daemon=false \
  enableHttpConnection=true httpPort="$port" enableHttpsConnection=false enableAuthentication=false \
  listenAddress=127.0.0.1 repositoryDir="$home/repository" providerDir="$home/lib:$PWD/$build/lib" \
  traceLevel=1 traceComponents=LogMessages traceFacility=File traceFilePath="$install/log/openpegasus.trc" \
  >"$work/cimserver.log" 2>&1 &
server_pid=$!
ready=""
for _ in $(seq 1 600); do
  if pegasus cimcli nc -n interop -l "127.0.0.1:$port" >/dev/null 2>&1; then
    ready=yes
    break
  fi
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/cimserver.log"; exit 1; }
  sleep 0.1
done
[ -n "$ready" ] || { cat "$work/cimserver.log"; echo "OpenPegasus did not start"; exit 1; }
# The server loads the module at the first request for one of its classes;
# the module then polls the array. Until its first table is written a client
# sees no arrays, so the first request is made here and the table awaited.
pegasus cimcli ni VELDARO_StorageComputerSystem -n root/kestris -l "127.0.0.1:$port" >/dev/null 2>&1 || true
polled=""
for _ in $(seq 1 1200); do
  if [ -f "$install/data/$address.cmf" ] && [ -f "$install/data/$address.ext" ]; then
    polled=yes
    break
  fi
  sleep 0.1
done
[ -n "$polled" ] || echo "the module has written no table of the array within 120 s; see $install/log"

url="http://127.0.0.1:$port/root/kestris"
echo
echo "The simulated array is served through OpenPegasus at $url"
echo "(install directory of the module $install, server home $home)."
print_example_commands "$url" "$address"
cat <<TXT
wbemcli cannot read an answer of OpenPegasus that carries its EMBEDDEDOBJECT
attribute (class definitions, the interop classes); its own cimcli can:
  bash scripts/openpegasus.sh cimcli gc VELDARO_StorageVolume -n root/kestris -l 127.0.0.1:$port
The profiles, from OpenPegasus's interop name space, and the server's own system:
  bash scripts/openpegasus.sh cimcli ni CIM_RegisteredProfile -n interop -l 127.0.0.1:$port
  bash scripts/openpegasus.sh cimcli an 'PG_RegisteredProfile.InstanceID="SNIA+Array+1.4.0"' -n interop -l 127.0.0.1:$port
  bash scripts/openpegasus.sh cimcli ni PG_ComputerSystem -n interop -l 127.0.0.1:$port
The server's output: $work/cimserver.log
The module's log: $install/log/openpegasus.trc.SMI-S_Module.* (the provider agent's;
the server's own records in $install/log/openpegasus.trc).
Press Ctrl-C to stop the server and the simulator.
TXT
wait "$server_pid"
