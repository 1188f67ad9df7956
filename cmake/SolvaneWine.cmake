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
function(_solvane_wine_fixture fixture lock state prefix)
  add_test(NAME ${fixture}_setup
           COMMAND ${SOLVANE_PYTHON} ${SOLVANE_WINENV} setup --state ${state} --prefix ${prefix}
                   --probe ${SOLVANE_PROBE} ${ARGN})
  set_tests_properties(${fixture}_setup PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 420 RESOURCE_LOCK ${lock})
  add_test(NAME ${fixture}_cleanup COMMAND ${SOLVANE_PYTHON} ${SOLVANE_WINENV} cleanup --state ${state})
  set_tests_properties(${fixture}_cleanup PROPERTIES FIXTURES_CLEANUP ${fixture} TIMEOUT 120 RESOURCE_LOCK ${lock})
endfunction()

_solvane_wine_fixture(wine_env wine_display ${SOLVANE_WINE_STATE} ${SOLVANE_WINE_PREFIX})
_solvane_wine_fixture(wine_monitors wine_monitors_display ${SOLVANE_WINE_MONITORS_STATE}
                      ${CMAKE_BINARY_DIR}/wine-monitors/prefix --display xorg-dummy
                      --layout 1920x1080+0+0,1280x720+1920+0)

function(_solvane_wine_properties name timeout)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_env RESOURCE_LOCK wine_display
                       TIMEOUT ${timeout})
endfunction()

# solvane_add_wine_test(NAME n EXE path.exe [ARGS ...] [TIMEOUT s])
# Runs a Windows program (e.g. a cross-built GoogleTest binary) under Wine.
function(solvane_add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;EXE;TIMEOUT" "ARGS")
  if(NOT arg_NAME OR NOT arg_EXE)
    message(FATAL_ERROR "solvane_add_wine_test needs NAME and EXE")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  # The harness gets its own bound inside CTest's, so it can kill the
  # program by PID and still print its output.
  math(EXPR inner "${arg_TIMEOUT} * 9 / 10")
  add_test(NAME ${arg_NAME}
           COMMAND ${SOLVANE_PYTHON} ${SOLVANE_WINENV} run --state ${SOLVANE_WINE_STATE}
                   --timeout ${inner} -- ${arg_EXE} ${arg_ARGS})
  _solvane_wine_properties(${arg_NAME} ${arg_TIMEOUT})
endfunction()

# solvane_add_scenario(NAME n SCRIPT path.py [ARGS ...] [TIMEOUT s] [MONITORS])
# Runs an end-to-end scenario script against the shared environment, or with
# MONITORS against the two-monitor one.
function(solvane_add_scenario)
  cmake_parse_arguments(PARSE_ARGV 0 arg "MONITORS" "NAME;SCRIPT;TIMEOUT" "ARGS")
  if(NOT arg_NAME OR NOT arg_SCRIPT)
    message(FATAL_ERROR "solvane_add_scenario needs NAME and SCRIPT")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
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
  math(EXPR inner "${arg_TIMEOUT} * 9 / 10")
  set_tests_properties(${arg_NAME} PROPERTIES ENVIRONMENT SOLVANE_SCENARIO_TIMEOUT=${inner})
endfunction()
