# Debian's hardening flags, as dpkg-buildflags gives them with every hardening
# feature on: stack protector, fortified functions, format checks, relro and
# bind-now; and position-independent executables. For everything built after
# the call in the calling directory and below. The build type keeps choosing
# optimisation and debug information.
function(solvane_debian_hardening)
  set(build_env DEB_BUILD_MAINT_OPTIONS=hardening=+all "DEB_CFLAGS_MAINT_STRIP=-g -O2"
      "DEB_CXXFLAGS_MAINT_STRIP=-g -O2")
  foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${build_env} dpkg-buildflags --get ${kind}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(${kind} UNIX_COMMAND "${flags}")
  endforeach()
  add_compile_options(${CPPFLAGS} "$<$<COMPILE_LANGUAGE:C>:${CFLAGS}>" "$<$<COMPILE_LANGUAGE:CXX>:${CXXFLAGS}>")
  add_link_options(${LDFLAGS})

  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON PARENT_SCOPE)
endfunction()
