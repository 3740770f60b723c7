include(CTest)
include(GoogleTest)

# smis_test_dir(NAME <exe> DIR <folder> LIBS <libs...> [LABELS <labels...>]
#               [IN_VARIANT] [SOURCES <files of the folder...>])
# Builds every *.cpp of a tests folder (or the SOURCES given) into one
# GoogleTest program and registers each of its tests with CTest under the
# given labels (default: unit). The variant against the real CIMPLE
# (SMIS_REAL_CIMPLE) builds only the programs marked IN_VARIANT, the others
# need the project's framework layer.
function(smis_test_dir)
  cmake_parse_arguments(T "IN_VARIANT" "NAME;DIR;TIMEOUT" "LIBS;LABELS;SOURCES" ${ARGN})
  if(SMIS_REAL_CIMPLE AND NOT T_IN_VARIANT)
    return()
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(T_SOURCES)
    list(TRANSFORM T_SOURCES PREPEND ${T_DIR}/ OUTPUT_VARIABLE srcs)
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${T_DIR}/*.cpp)
  endif()
  if(NOT srcs)
    return()
  endif()
  add_executable(${T_NAME} ${srcs})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                        Threads::Threads)
  # Tests that read files of the source tree (notes, scenarios) find it here.
  target_compile_definitions(${T_NAME} PRIVATE SMIS_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # The discovery script passes properties on as a flat list, so a second label
  # would be read as a property name: one label per test program.
  list(LENGTH T_LABELS label_count)
  if(label_count GREATER 1)
    message(FATAL_ERROR "smis_test_dir(${T_NAME}): give one label, not ${T_LABELS}")
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
               ENVIRONMENT "SMIS_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()
