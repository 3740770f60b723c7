#!/usr/bin/env bash
# Builds the system, then serves the simulated `small` array through the CIM
# server over HTTP and HTTPS: starts arraysim and cimserver on an install
# directory of their own, stores the array's command-line login there (the
# simulator's stand-in SSH client and credkeep), and prints wbemcli commands
# that show the array and create and delete a volume. HTTPS uses a
# self-signed certificate made once, with the openssl command line, in the
# build's install directory (<build>/ssl, the key readable by its owner
# only); the script prints how to trust it. Ctrl-C stops both.
#   CIMSERVER_PORT (default 5988) sets the HTTP port, CIMSERVER_HTTPS_PORT
#   (default 5989) the HTTPS port; SMIS_PRESET (default "default") the build
#   preset.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
preset="${SMIS_PRESET:-default}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" --target cimserver arraysim arraysim-plink credkeep arrayprov

build="build/$preset"
port="${CIMSERVER_PORT:-5988}"
https_port="${CIMSERVER_HTTPS_PORT:-5989}"
work="$(mktemp -d "${TMPDIR:-/tmp}/kestris-run-XXXXXX")"
install="$work/install"
mkdir -p "$install/env" "$install/data" "$install/run" "$install/log"

sim_pid=""
server_pid=""
stop_all() {
  trap - INT TERM EXIT
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
  [ -n "$sim_pid" ] && kill -TERM "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
  echo "stopped"
}
trap stop_all INT TERM EXIT

"$build/bin/arraysim" --scenario small --ready-file "$work/arraysim.ready" >"$work/arraysim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 1 600); do
  [ -s "$work/arraysim.ready" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { cat "$work/arraysim.log"; exit 1; }
  sleep 0.1
done
[ -s "$work/arraysim.ready" ] || { echo "arraysim did not start"; exit 1; }
python3 - "$work/arraysim.ready" >"$install/env/smis_env.inf" <<'PY'
import json, sys
for a in json.load(open(sys.argv[1]))["arrays"]:
    print(f"StorageIP={a['address']},{a['port']}")
PY
address="$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["arrays"][0]["address"])' "$work/arraysim.ready")"

# Configuration changes go through the array's command line: the simulator's
# stand-in for the SSH client is the install's plink, and the login the
# simulated array accepts (admin / admin) is stored with credkeep.
mkdir -p "$install/bin"
cp "$build/bin/arraysim-plink" "$install/bin/plink"
python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["cli"])' "$work/arraysim.ready" \
  >"$install/bin/arraysim-plink.socket"
SMIS_INSTALL_DIR="$install" "$build/bin/credkeep" -a "$address" -u admin -w admin >/dev/null ||
  echo "credkeep could not store the array's login (it runs only for the superuser): method calls will fail"

# The server's certificate: made once, kept with the build so that a client
# told to trust it keeps trusting it from one run to the next.
ssl="$PWD/$build/ssl"
cert="$ssl/cimserver.crt"
key="$ssl/cimserver.key"
if [ ! -s "$cert" ] || [ ! -s "$key" ]; then
  mkdir -p "$ssl"
  (
    umask 077
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 825 \
      -subj "/CN=localhost" -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
      -keyout "$key" -out "$cert" 2>"$ssl/openssl.log"
  ) || { cat "$ssl/openssl.log"; rm -f "$cert" "$key"; exit 1; }
  chmod 600 "$key"
  chmod 644 "$cert"
fi

SMIS_INSTALL_DIR="$install" "$build/bin/cimserver" --port "$port" --https-port "$https_port" --cert "$cert" \
  --key "$key" --ready-file "$work/cimserver.ready" &
server_pid=$!
for _ in $(seq 1 600); do
  [ -s "$work/cimserver.ready" ] && break
  kill -0 "$server_pid" 2>/dev/null || exit 1
  sleep 0.1
done
[ -s "$work/cimserver.ready" ] || { echo "cimserver did not start"; exit 1; }

url="http://127.0.0.1:$port/root/kestris"
service="$url:VELDARO_StorageConfigurationService.CreationClassName=\"VELDARO_StorageConfigurationService\",Name=\"VELDARO:KESTRIS SMI-S Proxy Server\",SystemCreationClassName=\"VELDARO_StorageComputerSystem\",SystemName=\"$address\""
cat <<TXT

The simulated array is served at $url (install directory $install).
Try:
  wbemcli -nl ecn '$url:CIM_ManagedElement'
  wbemcli -nl gc '$url:VELDARO_StorageVolume'
  wbemcli -nl ein '$url:VELDARO_DiskExtent'
  wbemcli -nl ei '$url:VELDARO_FreeExtent'
Create a 100 MiB volume DEMO in RAID group 0 (its TheElement answer names
the volume: VOL00006 on the fresh array), then delete it again:
  wbemcli cm '$service' CreateOrModifyElementFromStoragePool.ElementName=DEMO,ElementType=2,Size=104857600,InPool='VELDARO_RAIDStoragePool.InstanceID="VELDARO:RSP0000_$address"'
  wbemcli cm '$service' ReturnToStoragePool.TheElement='VELDARO_StorageVolume.SystemCreationClassName="VELDARO_StorageComputerSystem",SystemName="$address",CreationClassName="VELDARO_StorageVolume",DeviceID="VOL00006"'

The same is served over HTTPS at https://127.0.0.1:$https_port/root/kestris with the
self-signed certificate $cert
(made once for this build; key $key). Clients trust it by naming it, for example:
  wbemcli -nl -cacert '$cert' ecn 'https://127.0.0.1:$https_port/root/kestris:CIM_ManagedElement'
or trust it for every program on this machine (Debian):
  sudo cp '$cert' /usr/local/share/ca-certificates/kestris-cimserver.crt && sudo update-ca-certificates
Press Ctrl-C to stop the server and the simulator.
TXT
wait "$server_pid"
