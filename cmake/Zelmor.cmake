# zelmor_library(<name> <folder> [deps...])
# Builds every .cpp of <folder> into the static library zelmor_<name>. A folder
# without sources yet gives an interface library, so the layer list can name
# every layer from the start. Headers are included by their path from the
# repository root ("platform/rtl/Strings.h"), so the root is every library's
# include path, and the test "layers" (zelmor_include_check) keeps the
# includes to the links. Outside libraries that no header of the layer shows
# come after PRIVATE, so that the layers above do not see their headers.
function(zelmor_library name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  if(sources)
    add_library(zelmor_${name} STATIC ${sources})
    target_include_directories(zelmor_${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(zelmor_${name} PUBLIC ${ARGN})
  else()
    add_library(zelmor_${name} INTERFACE)
    target_include_directories(zelmor_${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(zelmor_${name} INTERFACE ${ARGN})
  endif()
  set_property(TARGET zelmor_${name} PROPERTY ZELMOR_FOLDER ${folder})
endfunction()

# zelmor_resource_table(<library> <table> <root> [files...])
# The static library <library> of one generated source that holds the files
# as byte arrays in the resource table <table> (resources/ResourceTable.h),
# each under its path below <root> ("forms/Alumnos.zfm").
function(zelmor_resource_table library table root)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/${library}.cpp)
  add_custom_command(
    OUTPUT ${generated}
    COMMAND zelmor_embed ${generated} ${table} ${root} ${ARGN}
    DEPENDS zelmor_embed ${ARGN}
    COMMENT "Embedding ${table} for ${library}")
  add_library(${library} STATIC ${generated})
  target_include_directories(${library} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# zelmor_test_support()
# zelmor_test_support, the helpers of tests/support/ that every test
# executable links, built once. Its precompiled header (GoogleTest and the
# standard headers the tests use most) serves every test executable, which
# is compiled with the same flags: it spares each test file a fifth of its
# compile time. It holds no header of ours, so that a change of ours does
# not rebuild it and a test still names what it uses.
function(zelmor_test_support)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
  add_library(zelmor_test_support STATIC ${sources})
  target_link_libraries(zelmor_test_support PUBLIC GTest::gtest GTest::gmock Threads::Threads)
  target_include_directories(zelmor_test_support PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(zelmor_test_support PUBLIC
    ZELMOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ZELMOR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # Else the compiler cache cannot take what is built with it.
    target_compile_options(zelmor_test_support PUBLIC -Xclang -fno-pch-timestamp)
  endif()
  target_precompile_headers(zelmor_test_support PRIVATE
    <gtest/gtest.h> <algorithm> <cstdint> <cstdio> <cstdlib> <cstring> <filesystem> <fstream> <functional>
    <map> <memory> <optional> <set> <string> <string_view> <vector>)
  set_property(TARGET zelmor_test_support PROPERTY ZELMOR_FOLDER tests/support)
endfunction()

# zelmor_test(<area> [deps...])
# One test executable per area: every .cpp under tests/<area>/, with the
# shared test helpers of tests/support/. The forms of the area's own screens
# (tests/<area>/forms/*.zfm) are built into it alone, as the table
# kTestResources (tests/support/TestResources.h).
function(zelmor_test area)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${area}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${area} ${sources})
  target_link_libraries(test_${area} PRIVATE ${ARGN} zelmor_test_support GTest::gtest_main)
  target_precompile_headers(test_${area} REUSE_FROM zelmor_test_support)
  # Six test files to an object: see the end of tests/CMakeLists.txt.
  set_target_properties(test_${area} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 6)
  # GCC takes a file of a unity object for a header and warns that a test
  # derives from a fixture in its file's anonymous namespace, which is how
  # every test file keeps its fixtures to itself.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(test_${area} PRIVATE -Wno-subobject-linkage)
  endif()
  # The header-only helpers of tests/support are compiled in each test
  # executable (for the test "layers").
  set_property(TARGET test_${area} PROPERTY ZELMOR_FOLDER tests/support)
  file(GLOB forms CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${area}/forms/*.zfm)
  if(forms)
    list(SORT forms)
    zelmor_resource_table(zelmor_test_forms_${area} kTestResources ${PROJECT_SOURCE_DIR}/tests/${area} ${forms})
    target_link_libraries(test_${area} PRIVATE zelmor_test_forms_${area})
  endif()
  # The report of each run (test-results/<area>.xml) is where the test
  # command counts the tests that skipped.
  add_test(NAME ${area}
    COMMAND test_${area} --gtest_brief=1 --gtest_output=xml:${PROJECT_BINARY_DIR}/test-results/${area}.xml)
  set_tests_properties(${area} PROPERTIES ENVIRONMENT "${ZELMOR_TEST_ENVIRONMENT}" LABELS unit)
endfunction()

# What the tests and benchmarks run with: the off-screen display, and the
# sanitizers stop at the first fault.
set(ZELMOR_TEST_ENVIRONMENT
  "ZELMOR_BACKEND=offscreen;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# zelmor_bench(<name> [deps...]): bench/<name>.cpp with Google Benchmark.
# Where tests are built too, CTest runs each benchmark once with a tiny
# minimum time (label "bench"): not to measure, but so that a benchmark that
# no longer builds, crashes or trips a sanitizer is seen.
function(zelmor_bench name)
  add_executable(bench_${name} ${PROJECT_SOURCE_DIR}/bench/${name}.cpp)
  target_link_libraries(bench_${name} PRIVATE ${ARGN} benchmark::benchmark Threads::Threads)
  target_compile_definitions(bench_${name} PRIVATE ZELMOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(ZELMOR_TESTS)
    add_test(NAME bench_${name} COMMAND bench_${name} --benchmark_min_time=0.000001)
    set_tests_properties(bench_${name} PROPERTIES ENVIRONMENT "${ZELMOR_TEST_ENVIRONMENT}" LABELS bench)
  endif()
endfunction()

# zelmor_fuzz(<name> <seconds> [deps...]): fuzz/<name>.cpp as a libFuzzer target,
# run by CTest for a bounded time over its seed corpus (fuzz/corpus/<name>, if any).
function(zelmor_fuzz name seconds)
  add_executable(fuzz_${name} ${PROJECT_SOURCE_DIR}/fuzz/${name}.cpp)
  target_link_libraries(fuzz_${name} PRIVATE ${ARGN})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${PROJECT_BINARY_DIR}/fuzz-corpus/${name})
  file(MAKE_DIRECTORY ${corpus})
  set(seeds "")
  if(EXISTS ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    set(seeds ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
  add_test(NAME fuzz_${name}
    COMMAND fuzz_${name} -max_total_time=${seconds} -rss_limit_mb=2048 -timeout=10 ${corpus} ${seeds})
  set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz)
  set_property(GLOBAL APPEND PROPERTY ZELMOR_FUZZ_TARGETS fuzz_${name})
endfunction()

# zelmor_include_check()
# The test "layers" (cmake/CheckIncludes.cmake): a folder's #include "..."
# lines may reach the folder itself and the folders of what its targets link,
# directly or through other libraries; test code (tests/, bench/, fuzz/) may
# also reach other test code. What each folder may reach is read here from
# the targets themselves (the layer list, the test areas, the programs), so
# the check and the link lines cannot disagree. Call it after every target.
function(zelmor_include_check)
  _zelmor_targets_below(${PROJECT_SOURCE_DIR} targets)
  set(folders "")
  foreach(target ${targets})
    _zelmor_target_folders(${target} own)
    if(NOT own)
      continue()
    endif()
    _zelmor_reach(${target} reach)
    foreach(folder ${own})
      list(APPEND folders ${folder})
      list(APPEND "reach_${folder}" ${reach})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES folders)
  list(SORT folders)
  set(text "# Written by zelmor_include_check (cmake/Zelmor.cmake).\nset(ZELMOR_CODE_FOLDERS \"${folders}\")\n")
  foreach(folder ${folders})
    list(REMOVE_DUPLICATES "reach_${folder}")
    list(SORT "reach_${folder}")
    string(APPEND text "set(\"ZELMOR_REACH_${folder}\" \"${reach_${folder}}\")\n")
  endforeach()
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/layers.cmake CONTENT "${text}")
  add_test(NAME layers
    COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DLAYERS=${PROJECT_BINARY_DIR}/layers.cmake
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake)
  set_tests_properties(layers PROPERTIES LABELS layers)
endfunction()

# Every target defined in Dir and the directories below it.
function(_zelmor_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    _zelmor_targets_below(${subdir} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The source-tree folders of a target: its layer folder and the folders of
# its sources (generated sources and sources outside the tree do not count).
function(_zelmor_target_folders target out)
  set(folders "")
  get_target_property(type ${target} TYPE)
  if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|INTERFACE_LIBRARY|EXECUTABLE)$")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  get_target_property(folder ${target} ZELMOR_FOLDER)
  if(folder)
    list(APPEND folders ${folder})
  endif()
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  foreach(source ${sources})
    if(NOT sources OR source MATCHES "\\$<")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${source} NORMALIZE in_tree)
    cmake_path(IS_PREFIX PROJECT_BINARY_DIR ${source} NORMALIZE generated)
    if(in_tree AND NOT generated)
      file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${source})
      cmake_path(GET relative PARENT_PATH folder)
      list(APPEND folders ${folder})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES folders)
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# The folders of a target and of everything it links, transitively.
function(_zelmor_reach target out)
  get_property(known GLOBAL PROPERTY _ZELMOR_REACH_${target} SET)
  if(known)
    get_property(reach GLOBAL PROPERTY _ZELMOR_REACH_${target})
    set(${out} ${reach} PARENT_SCOPE)
    return()
  endif()
  _zelmor_target_folders(${target} reach)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
  else()
    get_target_property(links ${target} LINK_LIBRARIES)
  endif()
  foreach(link ${links})
    if(NOT links OR NOT TARGET ${link})
      continue()
    endif()
    get_target_property(aliased ${link} ALIASED_TARGET)
    if(aliased)
      set(link ${aliased})
    endif()
    get_target_property(imported ${link} IMPORTED)
    if(NOT imported)
      _zelmor_reach(${link} more)
      list(APPEND reach ${more})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES reach)
  set_property(GLOBAL PROPERTY _ZELMOR_REACH_${target} ${reach})
  set(${out} ${reach} PARENT_SCOPE)
endfunction()
