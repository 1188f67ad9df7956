# Registers tests that run Windows programs under Wine (native configuration).
# One shared environment (Xvfb, PulseAudio, wineserver, prefix) is the CTest
# fixture "wine_env"; tests on its one display hold the lock "wine_display".
# A second one, "wine_monitors", runs on Xorg's dummy driver with two
# monitors (lock "wine_monitors_display").

find_program(SOLVANE_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(SOLVANE_PYTHON NAMES python3 REQUIRED)

set(SOLVANE_WINENV ${CMAKE_SOURCE_DIR}/tools/harness/winenv.py)
set(SOLVANE_WINE_STATE ${CMAKE_BINARY_DIR}/wine/state.json)
set(SOLVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
set(SOLVANE_PROBE ${SOLVANE_WINDOWS_BUILD_DIR}/tests/e2e/probe/probe.exe)

set(SOLVANE_WINE_MONITORS_STATE ${CMAKE_BINARY_DIR}/wine-monitors/state.json)

# One environment as a CTest fixture: set up before its first test, cleaned
# up after its last, its display held by one test at a time.
# Its tests are e2e.harness.<fixture>_setup and e2e.harness.<fixture>_cleanup.
function(_solvane_wine_fixture fixture lock state prefix)
  set(setup e2e.harness.${fixture}_setup)
  set(cleanup e2e.harness.${fixture}_cleanup)
  add_test(NAME ${setup}
           COMMAND ${SOLVANE_PYTHON} ${SOLVANE_WINENV} setup --state ${state} --prefix ${prefix}
                   --probe ${SOLVANE_PROBE} ${ARGN})
  set_tests_properties(${setup} PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 420 RESOURCE_LOCK ${lock})
  add_test(NAME ${cleanup} COMMAND ${SOLVANE_PYTHON} ${SOLVANE_WINENV} cleanup --state ${state})
  set_tests_properties(${cleanup} PROPERTIES FIXTURES_CLEANUP ${fixture} TIMEOUT 120 RESOURCE_LOCK ${lock})
endfunction()

_solvane_wine_fixture(wine_env wine_display ${SOLVANE_WINE_STATE} ${SOLVANE_WINE_PREFIX})
_solvane_wine_fixture(wine_monitors wine_monitors_display ${SOLVANE_WINE_MONITORS_STATE}
                      ${CMAKE_BINARY_DIR}/wine-monitors/prefix --display xorg-dummy
                      --layout 1920x1080+0+0,1280x720+1920+0)

function(_solvane_wine_properties name timeout)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_env RESOURCE_LOCK wine_display
                       TIMEOUT ${timeout})
endfunction()

# In a registration function after its cmake_parse_arguments: checks the
# keywords it needs, gives TIMEOUT its default and sets `inner`, the harness's
# own bound inside CTest's, so that it can stop what it started by PID and
# still print the output.
macro(_solvane_wine_arguments caller)
  foreach(keyword ${ARGN})
    if(NOT arg_${keyword})
      string(JOIN " and " needed ${ARGN})
      message(FATAL_ERROR "${caller} needs ${needed}")
    endif()
  endforeach()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  math(EXPR inner "${arg_TIMEOUT} * 9 / 10")
endmacro()

# solvane_add_wine_test(NAME n EXE path.exe [ARGS ...] [TIMEOUT s])
# Runs a Windows program (e.g. a cross-built GoogleTest binary) under Wine.
function(solvane_add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;EXE;TIMEOUT" "ARGS")
  _solvane_wine_arguments(solvane_add_wine_test NAME EXE)
  add_test(NAME ${arg_NAME}
           COMMAND ${SOLVANE_PYTHON} ${SOLVANE_WINENV} run --state ${SOLVANE_WINE_STATE}
                   --timeout ${inner} -- ${arg_EXE} ${arg_ARGS})
  _solvane_wine_properties(${arg_NAME} ${arg_TIMEOUT})
endfunction()

include(GoogleTest)
set(SOLVANE_WINE_GTEST ${CMAKE_SOURCE_DIR}/tools/harness/wine_gtest.py)
set(SOLVANE_WINE_LISTING_DIR ${CMAKE_BINARY_DIR}/wine-listing)
# Also bounds the first listing, which makes the listing prefix.
set(SOLVANE_WINE_LISTING_TIMEOUT 300)

# solvane_discover_wine_tests(AREA a EXE path.exe [FILTER f] [TIMEOUT s]
#                             [FIXTURES f...] [ENVIRONMENT VAR=value...])
# Registers each GoogleTest case of a cross-built program that FILTER selects
# as the test windows.<AREA>.<Suite>.<Case>, run in a process of its own under
# Wine. CTest lists the cases when it starts (again whenever the program has
# changed), headless, so a new case is registered without an edit here.
function(solvane_discover_wine_tests)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "AREA;EXE;FILTER;TIMEOUT" "FIXTURES;ENVIRONMENT")
  _solvane_wine_arguments(solvane_discover_wine_tests AREA EXE)
  math(EXPR list_inner "${SOLVANE_WINE_LISTING_TIMEOUT} * 9 / 10")
  # The Windows program is an imported target whose emulator, the harness
  # runner, lists its cases headless and runs each in the shared environment.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SOLVANE_PYTHON} ${SOLVANE_WINE_GTEST} --state ${SOLVANE_WINE_STATE}
      --listing-dir ${SOLVANE_WINE_LISTING_DIR} --timeout ${inner} --list-timeout ${list_inner})
  string(MAKE_C_IDENTIFIER "wine_${arg_AREA}_${arg_FILTER}" target)
  add_executable(${target} IMPORTED)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${arg_EXE})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT ${SOLVANE_WINE_LISTING_TIMEOUT}
                       TEST_PREFIX windows.${arg_AREA}. TEST_FILTER ${arg_FILTER} TEST_LIST ${target}_cases)
  # gtest_discover_tests would flatten list values (two fixtures), so the
  # cases it registered get their properties from a script of our own.
  set(fixtures wine_env ${arg_FIXTURES})
  set(properties "FIXTURES_REQUIRED [==[${fixtures}]==] RESOURCE_LOCK wine_display TIMEOUT ${arg_TIMEOUT}")
  if(arg_ENVIRONMENT)
    string(APPEND properties " ENVIRONMENT [==[${arg_ENVIRONMENT}]==]")
  endif()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_properties.cmake)
  file(WRITE ${script} "foreach(case IN LISTS ${target}_cases)\n"
                       "  set_tests_properties(\${case} PROPERTIES ${properties})\n"
                       "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# solvane_add_scenario(NAME n SCRIPT path.py [ARGS ...] [TIMEOUT s] [MONITORS])
# Runs an end-to-end scenario script against the shared environment, or with
# MONITORS against the two-monitor one.
function(solvane_add_scenario)
  cmake_parse_arguments(PARSE_ARGV 0 arg "MONITORS" "NAME;SCRIPT;TIMEOUT" "ARGS")
  _solvane_wine_arguments(solvane_add_scenario NAME SCRIPT)
  set(state ${SOLVANE_WINE_STATE})
  if(arg_MONITORS)
    set(state ${SOLVANE_WINE_MONITORS_STATE})
  endif()
  add_test(NAME ${arg_NAME}
           COMMAND ${SOLVANE_PYTHON} ${arg_SCRIPT} --state ${state}
                   --windows-build ${SOLVANE_WINDOWS_BUILD_DIR} ${arg_ARGS})
  if(arg_MONITORS)
    set_tests_properties(${arg_NAME} PROPERTIES FIXTURES_REQUIRED wine_monitors
                         RESOURCE_LOCK wine_monitors_display TIMEOUT ${arg_TIMEOUT})
  else()
    _solvane_wine_properties(${arg_NAME} ${arg_TIMEOUT})
  endif()
  # CTest ends a test that times out with SIGKILL; the scenario stops itself
  # a little earlier, cleaning up and saying which check hung.
  set_tests_properties(${arg_NAME} PROPERTIES ENVIRONMENT SOLVANE_SCENARIO_TIMEOUT=${inner})
endfunction()
