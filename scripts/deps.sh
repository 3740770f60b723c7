#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, and only
# those that are missing, so a machine with the base image is enough.
set -euo pipefail
packages=(cmake ninja-build g++ python3 libssl-dev openssl libgtest-dev libgmock-dev
          libbenchmark-dev nlohmann-json3-dev putty-tools openssh-server
          libpugixml-dev libcpp-httplib-dev sblim-wbemcli clang libclang-rt-14-dev)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
