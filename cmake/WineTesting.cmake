# Running cross-built test programs under Wine.
#
# qc_add_wine_test(<name> <exe>)
#   Registers <name>.wine64 and <name>.wine32: <exe> (a path or generator expression) runs
#   through scripts/wine-exec.sh in a 64-bit prefix (a 32-bit program there sees
#   IsWow64Process TRUE and two registry views) and in a 32-bit prefix (WINEARCH=win32:
#   IsWow64Process FALSE, one view). The program sees QC_WINE_ARCH=win64|win32 and
#   QC_EXPECT_WOW64=1|0. Called by qc_add_gtest for every cross-built test executable.
#
# qc_add_wine_script_test(<name> ARCH win64|win32 COMMAND <cmd> [args...]
#                         [ENVIRONMENT <var=value>...] [NEEDS_DISPLAY])
#   Registers <name>: a host-side program or bash script (run with bash when it is not
#   executable) that drives Wine itself. Its environment holds WINEPREFIX (the booted
#   prefix), WINEDEBUG=-all, WINEDLLOVERRIDES, WINEARCH=win32 for ARCH win32, QC_WINE (the
#   wine launcher), QC_WINESERVER, QC_WINE_ARCH and QC_EXPECT_WOW64. With NEEDS_DISPLAY the
#   test gets DISPLAY of an Xvfb server (1024x768x24) and runs in a prefix of its own that
#   was booted on that display, so Wine's desktop and system tray draw there.
#
# qc_check_system_dlls(<target>)
#   Registers <target>.system_dlls: fails when the binary imports a DLL that is not part
#   of Windows (the C and C++ runtimes must be linked in statically).
#
# Each prefix is created afresh under <build>/wine/ by a fixture test at the start of a run,
# keeps one persistent wineserver for the whole run and is stopped and removed by a fixture
# test at the end (QC_WINE_KEEP_PREFIXES=1 in the environment keeps it). Tests sharing a
# prefix hold its resource lock, so they never run in parallel with one another; tests of
# different prefixes may. Scripts that drive Wine should remember: never `wineserver -w`
# (the server is persistent), and strip CR from Wine's console output before matching lines.
#
# All three functions do nothing outside the Windows build.

set(QC_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(QC_WINE_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/../scripts)
cmake_path(NORMAL_PATH QC_WINE_SCRIPTS)
# Disabled: the .NET and HTML engine installers (they would ask to download) and the menu
# builder (it would write desktop entries into $HOME).
set(QC_WINE_DLLOVERRIDES "mscoree,mshtml,winemenubuilder.exe=")
set(QC_WINE_TEST_TIMEOUT 300)
set(QC_WINE_SETUP_TIMEOUT 900)

if(WIN32)
  find_program(QC_WINE_PROGRAM wine)
  find_program(QC_WINESERVER_PROGRAM wineserver)
  find_program(QC_XVFB_PROGRAM Xvfb)
  find_program(QC_OBJDUMP_PROGRAM NAMES i686-w64-mingw32-objdump ${CMAKE_OBJDUMP})
  if(NOT QC_WINE_PROGRAM OR NOT QC_WINESERVER_PROGRAM)
    message(WARNING "wine/wineserver not found: the Windows test programs cannot run")
  endif()
endif()

# Registers the fixtures of one prefix once and returns its name, lock and environment.
function(_qc_wine_prefix arch needs_display out_fixtures out_lock out_env)
  if(NOT arch MATCHES "^(win64|win32)$")
    message(FATAL_ERROR "Wine prefix architecture must be win64 or win32, not '${arch}'")
  endif()
  set(key ${arch})
  set(fixtures wine_prefix_${arch})
  if(needs_display)
    set(key ${arch}-display)
    set(fixtures wine_prefix_${arch}_display;wine_xvfb)
    _qc_wine_xvfb()
  endif()
  set(prefix ${QC_WINE_DIR}/${key})

  set(env
    WINEPREFIX=${prefix}
    WINEDEBUG=-all
    WINEDLLOVERRIDES=${QC_WINE_DLLOVERRIDES}
    # A fixed locale gives a fixed ANSI code page (1252) whatever the developer's shell says.
    LC_ALL=C.UTF-8
    QC_WINE=${QC_WINE_PROGRAM}
    QC_WINESERVER=${QC_WINESERVER_PROGRAM}
    QC_WINE_ARCH=${arch})
  if(arch STREQUAL "win32")
    list(APPEND env WINEARCH=win32 QC_EXPECT_WOW64=0)
  else()
    list(APPEND env QC_EXPECT_WOW64=1)
  endif()
  if(needs_display)
    list(APPEND env QC_WINE_DISPLAY_FILE=${QC_WINE_DIR}/xvfb/display)
  endif()

  set(lock wine_prefix_${key})
  get_property(done GLOBAL PROPERTY QC_WINE_PREFIX_${key})
  if(NOT done)
    set_property(GLOBAL PROPERTY QC_WINE_PREFIX_${key} TRUE)
    list(GET fixtures 0 own_fixture)
    add_test(NAME wine.prefix.${key}.setup COMMAND ${QC_WINE_SCRIPTS}/wine-prefix.sh setup ${prefix})
    add_test(NAME wine.prefix.${key}.cleanup COMMAND ${QC_WINE_SCRIPTS}/wine-prefix.sh cleanup ${prefix})
    set_tests_properties(wine.prefix.${key}.setup PROPERTIES FIXTURES_SETUP ${own_fixture})
    set_tests_properties(wine.prefix.${key}.cleanup PROPERTIES FIXTURES_CLEANUP ${own_fixture})
    set_tests_properties(wine.prefix.${key}.setup wine.prefix.${key}.cleanup PROPERTIES
      ENVIRONMENT "${env}"
      ENVIRONMENT_MODIFICATION "DISPLAY=unset:"
      RESOURCE_LOCK ${lock}
      TIMEOUT ${QC_WINE_SETUP_TIMEOUT}
      LABELS wine)
    if(needs_display)
      set_tests_properties(wine.prefix.${key}.setup wine.prefix.${key}.cleanup PROPERTIES
        FIXTURES_REQUIRED wine_xvfb)
    endif()
  endif()

  set(${out_fixtures} "${fixtures}" PARENT_SCOPE)
  set(${out_lock} ${lock} PARENT_SCOPE)
  set(${out_env} "${env}" PARENT_SCOPE)
endfunction()

# One Xvfb for every test that needs a display.
function(_qc_wine_xvfb)
  get_property(done GLOBAL PROPERTY QC_WINE_XVFB)
  if(done)
    return()
  endif()
  set_property(GLOBAL PROPERTY QC_WINE_XVFB TRUE)
  if(NOT QC_XVFB_PROGRAM)
    message(WARNING "Xvfb not found: Wine tests that need a display will fail")
  endif()
  add_test(NAME wine.xvfb.setup COMMAND ${QC_WINE_SCRIPTS}/wine-xvfb.sh start ${QC_WINE_DIR}/xvfb)
  add_test(NAME wine.xvfb.cleanup COMMAND ${QC_WINE_SCRIPTS}/wine-xvfb.sh stop ${QC_WINE_DIR}/xvfb)
  set_tests_properties(wine.xvfb.setup PROPERTIES FIXTURES_SETUP wine_xvfb)
  set_tests_properties(wine.xvfb.cleanup PROPERTIES FIXTURES_CLEANUP wine_xvfb)
  set_tests_properties(wine.xvfb.setup wine.xvfb.cleanup PROPERTIES
    RESOURCE_LOCK wine_xvfb TIMEOUT 60 LABELS wine)
endfunction()

# Test programs of the 64-bit and the 32-bit prefix run in different folders, so files they
# leave in their working directory (a cache database, say) do not collide.
function(_qc_wine_workdir arch out)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/wine-work/${arch})
  file(MAKE_DIRECTORY ${dir})
  set(${out} ${dir} PARENT_SCOPE)
endfunction()

function(qc_add_wine_test name exe)
  if(NOT WIN32)
    return()
  endif()
  foreach(arch win64 win32)
    string(REPLACE "win" "wine" suffix ${arch})
    _qc_wine_prefix(${arch} OFF fixtures lock env)
    _qc_wine_workdir(${arch} workdir)
    add_test(NAME ${name}.${suffix} COMMAND ${QC_WINE_SCRIPTS}/wine-exec.sh ${exe} WORKING_DIRECTORY ${workdir})
    set_tests_properties(${name}.${suffix} PROPERTIES
      FIXTURES_REQUIRED "${fixtures}"
      RESOURCE_LOCK ${lock}
      ENVIRONMENT "${env}"
      ENVIRONMENT_MODIFICATION "DISPLAY=unset:"
      TIMEOUT ${QC_WINE_TEST_TIMEOUT}
      LABELS wine)
  endforeach()
endfunction()

function(qc_add_wine_script_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "NEEDS_DISPLAY" "ARCH" "COMMAND;ENVIRONMENT" ${ARGN})
  if(NOT ARG_COMMAND)
    message(FATAL_ERROR "qc_add_wine_script_test(${name}): COMMAND is required")
  endif()
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "qc_add_wine_script_test(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  _qc_wine_prefix("${ARG_ARCH}" "${ARG_NEEDS_DISPLAY}" fixtures lock env)
  if(ARG_NEEDS_DISPLAY)
    # One display has one pointer and one keyboard focus: tests that click and type on it run
    # one at a time, whichever prefix they use.
    list(APPEND lock wine_display_input)
  endif()
  _qc_wine_workdir(${ARG_ARCH} workdir)
  list(APPEND env ${ARG_ENVIRONMENT})
  add_test(NAME ${name} COMMAND ${QC_WINE_SCRIPTS}/wine-run-script.sh ${ARG_COMMAND} WORKING_DIRECTORY ${workdir})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED "${fixtures}"
    RESOURCE_LOCK "${lock}"
    ENVIRONMENT "${env}"
    ENVIRONMENT_MODIFICATION "DISPLAY=unset:"
    TIMEOUT ${QC_WINE_TEST_TIMEOUT}
    LABELS wine)
endfunction()

function(qc_check_system_dlls target)
  if(NOT WIN32)
    return()
  endif()
  add_test(NAME ${target}.system_dlls
    COMMAND ${QC_WINE_SCRIPTS}/wine-check-dlls.sh ${QC_OBJDUMP_PROGRAM} $<TARGET_FILE:${target}>)
  set_tests_properties(${target}.system_dlls PROPERTIES TIMEOUT 60)
endfunction()
