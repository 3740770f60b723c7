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

# shellcheck source=simulated-array.sh
. scripts/simulated-array.sh
trap stop_demo INT TERM EXIT

start_simulated_array "$build" "$work" "$install"

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
echo
echo "The simulated array is served at $url (install directory $install)."
print_example_commands "$url" "$address"
cat <<TXT

The same is served over HTTPS at https://127.0.0.1:$https_port/root/kestris with the
self-signed certificate $cert
(made once for this build; key $key). Clients trust it by naming it, for example:
  wbemcli -nl -cacert '$cert' ecn 'https://127.0.0.1:$https_port/root/kestris:CIM_ManagedElement'
or trust it for every program on this machine (Debian):
  sudo cp '$cert' /usr/local/share/ca-certificates/kestris-cimserver.crt && sudo update-ca-certificates
Press Ctrl-C to stop the server and the simulator.
TXT
wait "$server_pid"
