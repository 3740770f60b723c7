# Sourced: sets `cache` to the third-party cache folder that scripts/third-party.sh
# builds (SMIS_THIRD_PARTY_CACHE, else $XDG_CACHE_HOME/smis-third-party, else
# ~/.cache/smis-third-party). With `require_third_party_cache` a caller that
# needs a finished build fails, naming what is missing, when there is none;
# otherwise it sources the build's environment (PEGASUS_HOME, PEGASUS_ROOT,
# CIMPLE_HOME, PATH, LD_LIBRARY_PATH).
cache=${SMIS_THIRD_PARTY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/smis-third-party}

require_third_party_cache() {
  if [ ! -f "$cache/stamp" ] || [ ! -f "$cache/env.sh" ]; then
    echo "FAILED: no finished OpenPegasus/CIMPLE build in $cache (missing $cache/stamp);" \
         "build it with scripts/third-party.sh or point SMIS_THIRD_PARTY_CACHE at one" >&2
    exit 1
  fi
  # shellcheck source=/dev/null
  . "$cache/env.sh"
}
