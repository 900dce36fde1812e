# Test helpers. Native builds run the portable tests; the Windows build runs
# its tests under Wine through the emulator script configured below.
enable_testing()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# brimlet_native_test(name SOURCES ... [LIBS ...] [ENVIRONMENT ...])
# A GoogleTest program of the portable code; only in the native build.
function(brimlet_native_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  if(WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}" TIMEOUT 60)
endfunction()

# brimlet_test_configurations(TESTS name... IN configuration... [TARGETS target...])
# The configurations that run the Windows tests named: any of
# BRIMLET_CONFIGURATIONS (cmake/configurations.txt), "netware" (every
# configuration that reads the NetWare side) or "all"; another name stops
# the configure. A test that belongs to the configuration of this tree
# (BRIMLET_CONFIGURATION, cmake/Configurations.cmake) gets the label
# "configuration", and its TARGETS (what it runs) join the target
# configuration_tests, which builds exactly what those tests need.
# The standard tree runs every test; the others run `ctest -L configuration`.
# Every Windows test must be declared here (brimlet_wine_test does it through
# its CONFIGURATIONS): an undeclared one stops the configure, so a new test
# is never left out of the configurations unseen.
function(brimlet_test_configurations)
  cmake_parse_arguments(C "" "" "TESTS;IN;TARGETS" ${ARGN})
  if(NOT C_TESTS OR NOT C_IN)
    message(FATAL_ERROR "brimlet_test_configurations needs TESTS and IN")
  endif()
  set(belongs FALSE)
  foreach(configuration IN LISTS C_IN)
    if(NOT configuration IN_LIST BRIMLET_CONFIGURATIONS AND NOT configuration STREQUAL "all"
       AND NOT configuration STREQUAL "netware")
      message(FATAL_ERROR "test ${C_TESTS}: unknown configuration \"${configuration}\"")
    endif()
    if(configuration STREQUAL "all" OR configuration STREQUAL BRIMLET_CONFIGURATION
       OR (configuration STREQUAL "netware" AND QUOTA_SOURCE STREQUAL "netware"))
      set(belongs TRUE)
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY BRIMLET_DECLARED_TESTS ${C_TESTS})
  if(belongs)
    set_property(TEST ${C_TESTS} APPEND PROPERTY LABELS configuration)
    set_property(GLOBAL APPEND PROPERTY BRIMLET_CONFIGURATION_TARGETS ${C_TARGETS})
  endif()
endfunction()

function(_brimlet_tests_below dir out)
  get_property(tests DIRECTORY ${dir} PROPERTY TESTS)
  get_property(subdirectories DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    _brimlet_tests_below(${subdirectory} below)
    list(APPEND tests ${below})
  endforeach()
  set(${out} ${tests} PARENT_SCOPE)
endfunction()

# Run at the end of the top-level CMakeLists.txt, when every test exists.
function(_brimlet_check_test_configurations)
  _brimlet_tests_below(${CMAKE_SOURCE_DIR} tests)
  get_property(declared GLOBAL PROPERTY BRIMLET_DECLARED_TESTS)
  set(undeclared "")
  foreach(test IN LISTS tests)
    if(NOT test IN_LIST declared)
      list(APPEND undeclared ${test})
    endif()
  endforeach()
  if(undeclared)
    string(REPLACE ";" ", " undeclared "${undeclared}")
    message(FATAL_ERROR "Windows tests without configurations: ${undeclared}. Declare them "
                        "with brimlet_test_configurations() or brimlet_wine_test(... CONFIGURATIONS)")
  endif()
  get_property(targets GLOBAL PROPERTY BRIMLET_CONFIGURATION_TARGETS)
  add_custom_target(configuration_tests)
  if(targets)
    list(REMOVE_DUPLICATES targets)
    add_dependencies(configuration_tests ${targets})
  endif()
endfunction()
if(WIN32)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _brimlet_check_test_configurations)
endif()

# brimlet_wine_test(name SOURCES ... [LIBS ...] [RESOURCES file.rc ...]
#                   [ENVIRONMENT VAR=value ...] [SERIAL] [TIMEOUT s]
#                   CONFIGURATIONS configuration...)
# A GoogleTest program cross-built for Windows and run under Wine; only in the
# Windows build. SERIAL marks tests that use the screen (focus, tray, clicks).
# CONFIGURATIONS: see brimlet_test_configurations.
function(brimlet_wine_test name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT" "SOURCES;LIBS;RESOURCES;ENVIRONMENT;CONFIGURATIONS"
                        ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  if(NOT T_CONFIGURATIONS)
    message(FATAL_ERROR "brimlet_wine_test(${name}): say which CONFIGURATIONS run it")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES} ${T_RESOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${T_ENVIRONMENT}")
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  brimlet_test_configurations(TESTS ${name} IN ${T_CONFIGURATIONS} TARGETS ${name})
endfunction()

if(WIN32)
  set(BRIMLET_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  # The programs of a tree run only in a Wine of their own width: the tree
  # records its width, which scripts/wine-arch.sh reads for a prefix inside it.
  math(EXPR _brimlet_width "${CMAKE_SIZEOF_VOID_P} * 8")
  set(BRIMLET_WINDOWS_WIDTH ${_brimlet_width} CACHE INTERNAL
      "The width of this tree's Windows programs (scripts/wine-arch.sh)")
  configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.sh.in
                 ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
