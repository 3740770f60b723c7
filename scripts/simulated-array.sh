# Sourced by scripts/run.sh and scripts/run-openpegasus.sh: the simulated
# `small` array for a CIM server of the demo.
#
#   start_simulated_array TOOLS WORK INSTALL
#     starts TOOLS/bin/arraysim (WORK holds its ready file and log), writes
#     INSTALL/env/smis_env.inf with its arrays, makes its command line
#     reachable from INSTALL (the simulator's plink stand-in as bin/plink and
#     the login admin / admin stored with credkeep); sets sim_pid and address
#     (the first array's). Exits 1 when the simulator does not start.
#   stop_demo
#     the demo's trap: stops the server (server_pid) and the simulator
#     (sim_pid), removes the work folder (work) and says so.
#   print_example_commands URL ADDRESS
#     prints the wbemcli commands that show the array at URL (".../root/kestris")
#     and create and delete a volume on the array at ADDRESS.

sim_pid=""
server_pid=""
stop_demo() {
  trap - INT TERM EXIT
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
  [ -n "$sim_pid" ] && kill -TERM "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
  echo "stopped"
}

start_simulated_array() {
  local tools=$1 work=$2 install=$3
  mkdir -p "$install/env" "$install/data" "$install/run" "$install/log" "$install/bin"
  "$tools/bin/arraysim" --scenario small --ready-file "$work/arraysim.ready" >"$work/arraysim.log" 2>&1 &
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
  cp "$tools/bin/arraysim-plink" "$install/bin/plink"
  python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["cli"])' "$work/arraysim.ready" \
    >"$install/bin/arraysim-plink.socket"
  SMIS_INSTALL_DIR="$install" "$tools/bin/credkeep" -a "$address" -u admin -w admin >/dev/null ||
    echo "credkeep could not store the array's login (it runs only for the superuser): method calls will fail"
}

print_example_commands() {
  local url=$1 address=$2
  local service="$url:VELDARO_StorageConfigurationService.CreationClassName=\"VELDARO_StorageConfigurationService\",Name=\"VELDARO:KESTRIS SMI-S Proxy Server\",SystemCreationClassName=\"VELDARO_StorageComputerSystem\",SystemName=\"$address\""
  cat <<TXT
Try:
  wbemcli -nl ecn '$url:CIM_ManagedElement'
  wbemcli -nl gc '$url:VELDARO_StorageVolume'
  wbemcli -nl ein '$url:VELDARO_DiskExtent'
  wbemcli -nl ei '$url:VELDARO_FreeExtent'
Create a 100 MiB volume DEMO in RAID group 0 (its TheElement answer names
the volume: VOL00006 on the fresh array), then delete it again:
  wbemcli cm '$service' CreateOrModifyElementFromStoragePool.ElementName=DEMO,ElementType=2,Size=104857600,InPool='VELDARO_RAIDStoragePool.InstanceID="VELDARO:RSP0000_$address"'
  wbemcli cm '$service' ReturnToStoragePool.TheElement='VELDARO_StorageVolume.SystemCreationClassName="VELDARO_StorageComputerSystem",SystemName="$address",CreationClassName="VELDARO_StorageVolume",DeviceID="VOL00006"'
TXT
}
