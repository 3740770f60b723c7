# The build variant against the real CIMPLE and OpenPegasus (SMIS_REAL_CIMPLE):
# instead of the project's framework layer (host/cimple, host/adapter,
# host/pegasus) the targets cimple, cimpleadapter and pegcommon are the
# libraries of the third-party build (scripts/third-party.sh), with their
# headers on the system include path. arraycore, the schema records and
# arrayprov link against them unchanged.
#
# The cache folder is the one scripts/third-party-cache.sh names
# (SMIS_THIRD_PARTY_CACHE in the environment, else the XDG cache); the script
# is asked for it and for the build's locations, so they are written down once.
set(SMIS_THIRD_PARTY_CACHE "" CACHE PATH
    "Folder of the OpenPegasus/CIMPLE build made by scripts/third-party.sh (empty: the script's default)")
if(SMIS_THIRD_PARTY_CACHE)
  set(ENV{SMIS_THIRD_PARTY_CACHE} "${SMIS_THIRD_PARTY_CACHE}")
endif()
execute_process(
  COMMAND bash -c ". scripts/third-party-cache.sh && require_third_party_cache &&
                   printf '%s\\n%s\\n%s\\n%s' \"$cache\" \"$CIMPLE_HOME\" \"$PEGASUS_HOME\" \"$PEGASUS_ROOT\""
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  OUTPUT_VARIABLE third_party_dirs
  ERROR_VARIABLE third_party_error
  RESULT_VARIABLE third_party_result)
if(NOT third_party_result EQUAL 0)
  message(FATAL_ERROR "SMIS_REAL_CIMPLE needs the third-party build: ${third_party_error}")
endif()
string(REPLACE "\n" ";" third_party_dirs "${third_party_dirs}")
list(GET third_party_dirs 0 SMIS_THIRD_PARTY_DIR)
list(GET third_party_dirs 1 CIMPLE_HOME)
list(GET third_party_dirs 2 PEGASUS_HOME)
list(GET third_party_dirs 3 PEGASUS_ROOT)
message(STATUS "Real CIMPLE in ${CIMPLE_HOME}, OpenPegasus in ${PEGASUS_HOME}")
# A rebuild of the cache (a new stamp) reconfigures.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SMIS_THIRD_PARTY_DIR}/stamp)

# smis_real_library(<target> <library file> <include dir> [<dependency>...])
# An imported shared library of the third-party build. Imported include
# folders are system folders (-isystem): the project's warnings stay off them.
function(smis_real_library name file include)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "SMIS_REAL_CIMPLE: ${file} is missing; rebuild it with scripts/third-party.sh")
  endif()
  add_library(${name} SHARED IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES
    IMPORTED_LOCATION ${file}
    INTERFACE_INCLUDE_DIRECTORIES ${include}
    INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()

# The install directory rule is the project's own (Pegasus::InstallRoot of
# host/pegasus; OpenPegasus has none): built alone and linked with the real
# common library, its header copied apart from the layer's other headers so
# that those do not hide the real ones.
configure_file(${CMAKE_SOURCE_DIR}/host/pegasus/Pegasus/InstallRoot.h
               ${CMAKE_BINARY_DIR}/installroot/Pegasus/InstallRoot.h COPYONLY)
add_library(installroot STATIC ${CMAKE_SOURCE_DIR}/host/pegasus/src/InstallRoot.cpp)
target_include_directories(installroot PUBLIC ${CMAKE_BINARY_DIR}/installroot)

smis_real_library(pegcommon ${PEGASUS_HOME}/lib/libpegcommon.so ${PEGASUS_ROOT}/src installroot Threads::Threads)
set_property(TARGET pegcommon PROPERTY INTERFACE_COMPILE_DEFINITIONS PEGASUS_PLATFORM_LINUX_X86_64_GNU)
smis_real_library(cimple ${CIMPLE_HOME}/lib/libcimple.so ${CIMPLE_HOME}/include Threads::Threads)
# CIMPLE's Pegasus adapter needs two more of the server's libraries, which its
# own run path (CIMPLE's lib folder) does not name: what links the adapter
# links them too, so they are found through its run path and loaded first,
# as in the server's provider agent, where they are loaded already.
smis_real_library(pegprovider ${PEGASUS_HOME}/lib/libpegprovider.so ${PEGASUS_ROOT}/src pegcommon)
smis_real_library(pegconfig ${PEGASUS_HOME}/lib/libpegconfig.so ${PEGASUS_ROOT}/src pegcommon)
smis_real_library(cimpleadapter ${CIMPLE_HOME}/lib/libcimplepegadap.so ${CIMPLE_HOME}/include
                  cimple pegcommon pegprovider pegconfig)
set_property(TARGET cimpleadapter PROPERTY INTERFACE_LINK_OPTIONS -Wl,--no-as-needed)
# CIMPLE's libraries carry no soname: linked by name (-lcimple), so what
# links them needs "libcimple.so" found on the run path, not the cache's path.
set_target_properties(cimple cimpleadapter PROPERTIES IMPORTED_NO_SONAME TRUE)

# The module's code that only the real framework hosts (the providers' load
# and unload start and stop the polling service) is compiled in.
add_compile_definitions(SMIS_REAL_CIMPLE=1)
