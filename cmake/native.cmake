# Native build: the portable core, its unit tests, benchmarks and fuzz targets.
add_library(core STATIC ${CORE_SRC} ${POSIX_SRC})
target_include_directories(core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(core PUBLIC VENDOR_HOST="${VENDOR_HOST}")

find_package(GTest REQUIRED)
include(GoogleTest)
add_executable(unit_tests ${UNIT_TEST_SRC})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)  # for "fakes/..." and "support/..."
target_link_libraries(unit_tests PRIVATE core GTest::gtest_main GTest::gmock)
# The guide's tests read docs/ from the source tree (the Windows build runs its copy under Wine and skips them).
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/unit/guide_test.cpp PROPERTIES
                            COMPILE_DEFINITIONS GUIDE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 30)

find_package(benchmark QUIET)
if(benchmark_FOUND AND BENCH_SRC)
  foreach(src ${BENCH_SRC})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE core benchmark::benchmark_main)
  endforeach()
endif()

# Fuzz targets need clang's libFuzzer; configure with -DCMAKE_CXX_COMPILER=clang++ -DFUZZ=ON to build them.
option(FUZZ "Build libFuzzer targets (clang only)" OFF)
if(FUZZ AND FUZZ_SRC)
  # One instrumented copy of the core, shared by every target.
  add_library(fuzz_core STATIC ${CORE_SRC} ${POSIX_SRC})
  target_include_directories(fuzz_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(fuzz_core PUBLIC -fsanitize=fuzzer-no-link,address,undefined)
  foreach(src ${FUZZ_SRC})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE fuzz_core)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  endforeach()
endif()

# The table builders must not depend on copy elision for their results: the native build (whose unit
# tests check every table) compiles them without it.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/tables/merge_table.cpp PROPERTIES
                            COMPILE_OPTIONS -fno-elide-constructors)
