# zelmor_library(<name> <folder> [deps...])
# Builds every .cpp of <folder> into the static library zelmor_<name>. A folder
# without sources yet gives an interface library, so the layer list can name
# every layer from the start. Headers are included by their path from the
# repository root ("platform/rtl/Strings.h").
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
  file(GLOB support CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
  add_executable(test_${area} ${sources} ${support})
  target_link_libraries(test_${area} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  file(GLOB forms CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${area}/forms/*.zfm)
  if(forms)
    list(SORT forms)
    zelmor_resource_table(zelmor_test_forms_${area} kTestResources ${PROJECT_SOURCE_DIR}/tests/${area} ${forms})
    target_link_libraries(test_${area} PRIVATE zelmor_test_forms_${area})
  endif()
  target_include_directories(test_${area} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(test_${area} PRIVATE
    ZELMOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ZELMOR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${area} COMMAND test_${area} --gtest_brief=1)
  set_tests_properties(${area} PROPERTIES
    ENVIRONMENT "ZELMOR_BACKEND=offscreen;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    LABELS unit)
endfunction()

# zelmor_bench(<name> [deps...]): bench/<name>.cpp with Google Benchmark.
function(zelmor_bench name)
  add_executable(bench_${name} ${PROJECT_SOURCE_DIR}/bench/${name}.cpp)
  target_link_libraries(bench_${name} PRIVATE ${ARGN} benchmark::benchmark Threads::Threads)
  target_compile_definitions(bench_${name} PRIVATE ZELMOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
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
