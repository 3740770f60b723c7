#!/usr/bin/env bash
# Runs one program of the third-party OpenPegasus build (scripts/third-party.sh)
# with that build's environment, for that program only:
#
#   openpegasus.sh [--home DIR] PROGRAM [ARGS...]      e.g. cimcli, cimmof, cimserver
#
# The caller's shell keeps its own environment, so the project's programs
# (credkeep, the embedded cimserver) never load the real Pegasus libraries
# through LD_LIBRARY_PATH. PROGRAM is taken from the build's bin/.
# --home DIR names the server home made by scripts/openpegasus-repository.sh
# (PEGASUS_HOME: its repository, configuration and password files). cimserver
# needs one, so its configuration (cimserver_current.conf, written at start
# and inherited by every later start on the same home) lands there and never
# in the shared build. The server's pid file, start lock and local socket are
# fixed per third-party build, so one server of it runs at a time: cimserver
# (but `cimserver -s`) first takes <cache>/.server.lock, as the tests and
# scripts/run-openpegasus.sh do, waiting up to 5 minutes for another to end,
# and holds it while it runs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=third-party-cache.sh
. "$here/third-party-cache.sh"
home=""
if [ "${1:-}" = "--home" ]; then
  [ $# -ge 2 ] || { echo "usage: $0 [--home DIR] PROGRAM [ARGS...]" >&2; exit 2; }
  home=$2
  shift 2
fi
[ $# -ge 1 ] || { echo "usage: $0 [--home DIR] PROGRAM [ARGS...]" >&2; exit 2; }
program=$1
shift
require_third_party_cache
if [ -n "$home" ]; then
  [ -d "$home/repository" ] ||
    { echo "FAILED: $home is no server home (no repository): make it with scripts/openpegasus-repository.sh" >&2; exit 1; }
  PEGASUS_HOME=$(cd "$home" && pwd)
elif [ "$program" = cimserver ]; then
  echo "FAILED: cimserver needs --home DIR, a server home made by scripts/openpegasus-repository.sh," \
       "so that it writes its configuration there and not into $PEGASUS_HOME" >&2
  exit 1
fi
[ -x "$cache/pegasus/bin/$program" ] ||
  { echo "FAILED: no program $program in $cache/pegasus/bin" >&2; exit 1; }
export PEGASUS_HOME
if [ "$program" = cimserver ] && [ "${1:-}" != "-s" ]; then
  exec 8>"$cache/.server.lock"
  if ! flock -n 8; then
    echo "another OpenPegasus server of $cache runs (a test or scripts/run-openpegasus.sh); waiting for it to end" >&2
    flock -w 300 8 || { echo "FAILED: it still runs after 5 minutes" >&2; exit 1; }
  fi
fi
exec "$cache/pegasus/bin/$program" "$@"
