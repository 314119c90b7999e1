# Windows build: the exe, the Windows-side tests and the end-to-end tests, all run under Wine by tests/wine/.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
set(SYSTEM_LIBS user32 gdi32 comdlg32 shell32 wininet winmm ws2_32 advapi32 bcrypt comctl32 ole32 uuid)

add_library(app_lib STATIC ${CORE_SRC} ${WIN_SRC})
target_include_directories(app_lib PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(app_lib PUBLIC VENDOR_HOST="${VENDOR_HOST}")
target_link_libraries(app_lib PUBLIC ${SYSTEM_LIBS})

add_executable(RizidudUdaravuzuv WIN32 ${CMAKE_SOURCE_DIR}/src/app/main_win.cpp
               ${CMAKE_SOURCE_DIR}/src/resources/app.rc)
target_link_libraries(RizidudUdaravuzuv PRIVATE app_lib)
# No link time stamp in the PE header, so the same commit builds the same bytes.
target_link_options(RizidudUdaravuzuv PRIVATE ${STATIC_RUNTIME} -Wl,--no-insert-timestamp)

# The version is 2.1.<commit count>; only the resource sees the number, so a new commit rebuilds one
# file, not the program (the test that reads it back takes the number from version.txt). The count is
# taken only when this tree is itself a git work tree, never from a repository it happens to lie in. A
# tree without history (a source archive) builds 2.1.0, or the number given with -DAPP_BUILD=<n>.
set(APP_BUILD "" CACHE STRING "Build number for a tree without git history (empty: 0)")
set(build_number "")
execute_process(COMMAND git rev-parse --show-toplevel WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                OUTPUT_VARIABLE git_top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE git_status)
if(git_status EQUAL 0 AND git_top)
  get_filename_component(git_top "${git_top}" REALPATH)
  get_filename_component(source_top "${CMAKE_SOURCE_DIR}" REALPATH)
endif()
if(git_status EQUAL 0 AND git_top AND git_top STREQUAL source_top)
  execute_process(COMMAND git rev-list --count HEAD WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE build_number OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  # A commit moves HEAD's log, so the next build configures again and the number follows.
  execute_process(COMMAND git rev-parse --path-format=absolute --git-path logs/HEAD WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(head_log AND EXISTS "${head_log}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
  endif()
endif()
if(NOT build_number MATCHES "^[0-9]+$")
  set(build_number "${APP_BUILD}")
  if(NOT build_number MATCHES "^[0-9]+$")
    set(build_number 0)
  endif()
  message(STATUS "No git history in ${CMAKE_SOURCE_DIR}: version 2.1.${build_number} (-DAPP_BUILD=<n> sets the number)")
endif()
set(APP_BUILD_NUMBER ${build_number})
set(APP_VERSION "2.1.${APP_BUILD_NUMBER}")
# For scripts/package and win_version_info; written only when it changes, so a configure while the tests
# run (scripts/run beside them) never shows them a file being written.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/version.txt CONTENT "${APP_VERSION}\n")
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/resources/app.rc PROPERTIES COMPILE_DEFINITIONS APP_BUILD=${APP_BUILD_NUMBER}
                            OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/resources/app.manifest;${CMAKE_SOURCE_DIR}/src/resources/app.ico")

if(NOT CMAKE_HOST_WIN32)
  add_test(NAME exe_imports_only_system_dlls
           COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/check-imports $<TARGET_FILE:RizidudUdaravuzuv>)
endif()

# GoogleTest built with the cross compiler from Debian's sources.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# On Linux the Windows programs run under Wine (tests/wine/); on Windows itself they run directly.
# add_wine_test(<test> [PROGRAM <target>] [args...]) registers a test program (the target of the
# test's name unless PROGRAM names another).
if(CMAKE_HOST_WIN32)
  set(WINE_LOCK_WAIT 0)
  function(add_wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PROGRAM" "")
    if(NOT arg_PROGRAM)
      set(arg_PROGRAM ${name})
    endif()
    add_test(NAME ${name} COMMAND $<TARGET_FILE:${arg_PROGRAM}> ${arg_UNPARSED_ARGUMENTS})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK desktop)
  endfunction()
else()
  # Each test program runs in a world of its own (Xvfb display, Wine prefix copied from the template
  # these fixtures make), with a port of its own for the vendor site and copies of itself and the exe
  # that name that port (tests/wine/wine-suite): the suites run side by side with ctest -j.
  set(WINE_SUITE ${CMAKE_SOURCE_DIR}/tests/wine/wine-suite)
  set(WINE_ENV ${CMAKE_SOURCE_DIR}/tests/wine/wine-env)
  add_test(NAME wine_start COMMAND ${WINE_ENV} template ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  add_test(NAME wine_stop COMMAND ${WINE_ENV} stop-worlds ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

  # A suite may first wait for the machine-wide lock (tests/wine/machine-lock.sh) while another tree's
  # build or timed test holds it: its time-out leaves room for that wait beyond its own 600 s.
  set(WINE_LOCK_WAIT 1200)
  function(add_wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PROGRAM" "")
    if(NOT arg_PROGRAM)
      set(arg_PROGRAM ${name})
    endif()
    add_test(NAME ${name} COMMAND ${WINE_SUITE} ${CMAKE_BINARY_DIR} ${name} $<TARGET_FILE:RizidudUdaravuzuv>
                                  $<TARGET_FILE:${arg_PROGRAM}> ${arg_UNPARSED_ARGUMENTS})
    math(EXPR timeout "600 + ${WINE_LOCK_WAIT}")
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${timeout})
  endfunction()

  # A second family of worlds whose screen is at 144 dpi (150 %), for the tests of the scaled layout
  # (tests/e2e/*high_dpi*): Wine has one DPI per prefix.
  set(WINE_144DPI WINE_WORLD=${CMAKE_BINARY_DIR}/wine-144dpi WINE_LOGPIXELS=144)
  add_test(NAME wine_144dpi_start COMMAND ${CMAKE_COMMAND} -E env ${WINE_144DPI} ${WINE_ENV} template ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_144dpi_start PROPERTIES FIXTURES_SETUP wine144 TIMEOUT 300)
  add_test(NAME wine_144dpi_stop COMMAND ${CMAKE_COMMAND} -E env ${WINE_144DPI} ${WINE_ENV} stop-worlds ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_144dpi_stop PROPERTIES FIXTURES_CLEANUP wine144)
endif()

add_executable(unit_tests_win ${UNIT_TEST_SRC})
target_include_directories(unit_tests_win PRIVATE ${CMAKE_SOURCE_DIR}/tests)  # for "fakes/..." and "support/..."
target_link_libraries(unit_tests_win PRIVATE app_lib gmock gtest_main)
target_link_options(unit_tests_win PRIVATE ${STATIC_RUNTIME})
add_wine_test(unit_tests_win)

# Helpers shared by the Windows-side and end-to-end tests: starting the exe, finding and driving windows.
add_library(test_support STATIC ${SUPPORT_SRC})
target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_SOURCE_DIR}/tests
                           ${CMAKE_SOURCE_DIR}/src)
# The tree's own paths, only where they are read (see the compiler cache in CMakeLists.txt).
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/support/harness.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/capture_test.cpp
                            PROPERTIES COMPILE_DEFINITIONS TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/support/browser_recorder.cpp PROPERTIES
                            COMPILE_DEFINITIONS TEST_SUPPORT_DIR="${CMAKE_SOURCE_DIR}/tests/support")
target_link_libraries(test_support PUBLIC app_lib gmock gtest)

# A test case that measures elapsed time runs alone (RUN_SERIAL, and alone on the machine: WINE_SUITE_ALONE
# makes tests/wine/wine-suite take the machine-wide lock for itself), where other suites cannot slow it: the
# cases of a test suite whose name ends in "Timing" (TEST(RunStopTiming, ...)) are a test of their own,
# <program>_timed, and the program's other cases run side by side as <program> (a program of timed
# cases only is one test, run alone). The timed tests carry the label "timing" (scripts/test runs them
# last, when nothing else of its own runs). The long seeded cases (TEST(..., Seeded...)) are a test of
# their own too, <program>_seeded, run side by side with the rest of their program.
#
# Rough seconds of the longest tests on a quiet machine: ctest -j starts the costliest first, and a tree's
# first run has no times of its own yet, so without these the longest would start last.
set(WINE_TEST_COSTS e2e_run_faults_seeded=240 e2e_run_resume=200 unit_tests_win=170 e2e_run=160
    e2e_run_faults=150 e2e_run_wizard=120 e2e_merge=100 e2e_run_readback=90 e2e_run_page_evidence=80)
foreach(src ${WIN_TEST_SRC} ${E2E_TEST_SRC})
  get_filename_component(stem ${src} NAME_WE)
  string(REGEX REPLACE "_test$" "" stem ${stem})
  get_filename_component(dir ${src} DIRECTORY)
  get_filename_component(kind ${dir} NAME)
  set(name ${kind}_${stem})
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE test_support gtest_main)
  target_link_options(${name} PRIVATE ${STATIC_RUNTIME})
  if(kind STREQUAL "e2e")
    add_dependencies(${name} RizidudUdaravuzuv)
  endif()
  file(STRINGS ${src} cases REGEX "^TEST(_F|_P)?\\(")
  file(STRINGS ${src} timed_cases REGEX "^TEST(_F|_P)?\\([A-Za-z0-9_]*Timing,")
  file(STRINGS ${src} seeded_cases REGEX "^TEST(_F|_P)?\\([A-Za-z0-9_]*, *Seeded")
  list(LENGTH cases all_count)
  list(LENGTH timed_cases timed_count)
  list(LENGTH seeded_cases seeded_count)
  math(EXPR rest_count "${all_count} - ${timed_count} - ${seeded_count}")
  set(entries "")
  set(rest_filter "")  # the cases of the entries apart, left out of <program>
  if(timed_count GREATER 0)
    set(timed_entry ${name}_timed)
    if(rest_count EQUAL 0 AND seeded_count EQUAL 0)
      set(timed_entry ${name})
      add_wine_test(${name})
    else()
      add_wine_test(${name}_timed PROGRAM ${name} --gtest_filter=*Timing.*)
      string(APPEND rest_filter ":*Timing.*")
    endif()
    set_tests_properties(${timed_entry} PROPERTIES RUN_SERIAL TRUE LABELS timing ENVIRONMENT WINE_SUITE_ALONE=1)
    list(APPEND entries ${timed_entry})
  endif()
  if(seeded_count GREATER 0)
    add_wine_test(${name}_seeded PROGRAM ${name} --gtest_filter=*.Seeded*)
    string(APPEND rest_filter ":*.Seeded*")
    list(APPEND entries ${name}_seeded)
  endif()
  if(rest_count GREATER 0)
    if(rest_filter)
      string(SUBSTRING "${rest_filter}" 1 -1 rest_filter)
      add_wine_test(${name} --gtest_filter=-${rest_filter})
    else()
      add_wine_test(${name})
    endif()
    list(APPEND entries ${name})
  endif()
  foreach(entry ${entries})
    if(name MATCHES "english")
      set_property(TEST ${entry} APPEND PROPERTY ENVIRONMENT WINE_LC_ALL=en_US.UTF-8)
    endif()
    if(name MATCHES "high_dpi" AND NOT CMAKE_HOST_WIN32)
      set_tests_properties(${entry} PROPERTIES FIXTURES_REQUIRED wine144)
      set_property(TEST ${entry} APPEND PROPERTY ENVIRONMENT ${WINE_144DPI})
    endif()
  endforeach()
endforeach()
foreach(cost ${WINE_TEST_COSTS})
  string(REPLACE "=" ";" cost ${cost})
  list(GET cost 0 entry)
  list(GET cost 1 seconds)
  if(NOT TEST ${entry})
    message(FATAL_ERROR "WINE_TEST_COSTS names ${entry}, which is no test")
  endif()
  set_tests_properties(${entry} PROPERTIES COST ${seconds})
endforeach()

target_link_libraries(win_version_info PRIVATE version)

# The text-fit property holds in both worlds: the 96-dpi one above, and here the 144-dpi one.
if(NOT CMAKE_HOST_WIN32)
  add_wine_test(win_text_fit_high_dpi PROGRAM win_text_fit)
  set_tests_properties(win_text_fit_high_dpi PROPERTIES FIXTURES_REQUIRED wine144)
  set_property(TEST win_text_fit_high_dpi APPEND PROPERTY ENVIRONMENT ${WINE_144DPI})
endif()

# The seeded fault test runs three seeds by default; RUN_FAULT_SEEDS=<n> in the environment runs n
# (the test reads it) and, present when cmake configures (scripts/test configures on every run), gives
# the test the time they take.
if(DEFINED ENV{RUN_FAULT_SEEDS} AND "$ENV{RUN_FAULT_SEEDS}" MATCHES "^[0-9]+$")
  math(EXPR run_faults_timeout "600 + 90 * $ENV{RUN_FAULT_SEEDS} + ${WINE_LOCK_WAIT}")
  set_tests_properties(e2e_run_faults_seeded PROPERTIES TIMEOUT ${run_faults_timeout})
endif()

# Programs that drive the exe like the tests but are not tests (scripts/screenshots).
foreach(src ${TOOL_SRC})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE test_support)
  target_link_options(${name} PRIVATE ${STATIC_RUNTIME})
  add_dependencies(${name} RizidudUdaravuzuv fake_designer)
endforeach()

# Stand-ins for the applications the utility drives (a barcode designer, a spreadsheet).
foreach(src ${FIXTURE_SRC})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} WIN32 ${src})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE user32 gdi32)
  target_link_options(${name} PRIVATE ${STATIC_RUNTIME})
endforeach()
