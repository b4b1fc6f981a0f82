# libFuzzer targets for the core readers. Included by the top-level CMakeLists.txt when
# DURNMOOR_FUZZ is on, in place of the program, the Qt Test tests and the benchmarks:
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DDURNMOOR_FUZZ=ON
#   cmake --build build-fuzz -j2 && (cd build-fuzz && ctest --output-on-failure -j2)
# A longer run by hand: build-fuzz/fuzz_history_file -max_total_time=600 -jobs=2 -workers=2 DIR
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "DURNMOOR_FUZZ needs clang (libFuzzer), not ${CMAKE_CXX_COMPILER_ID}: "
                      "configure a fresh build directory with CC=clang CXX=clang++")
endif()

set(DURNMOOR_FUZZ_SECONDS 20 CACHE STRING "How long CTest runs each fuzz target")

# UBSan stops at the first fault, so that the fuzzer sees it as a crash.
set(durnmoor_sanitize -fsanitize=address,undefined -fno-sanitize-recover=undefined)
target_compile_options(durnmoor_core PRIVATE -fsanitize=fuzzer-no-link ${durnmoor_sanitize})
# The window layer is still declared by the folders, but never built here.
set_target_properties(durnmoor_ui PROPERTIES EXCLUDE_FROM_ALL ON)

enable_testing()

# One target per source file; CTest runs it for a bounded time on a copy of its seeds, so
# that what the fuzzer adds to the corpus stays in the build tree.
function(durnmoor_fuzz folder name)
  add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/${folder}/${name}.cpp)
  target_link_libraries(${name} PRIVATE durnmoor_core)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${durnmoor_sanitize})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer ${durnmoor_sanitize})

  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/fuzz/${name})
  add_test(NAME ${name}_seeds
           COMMAND ${CMAKE_COMMAND} -E copy_directory
                   ${CMAKE_CURRENT_LIST_DIR}/${folder}/corpus/${name} ${corpus})
  set_tests_properties(${name}_seeds PROPERTIES FIXTURES_SETUP ${name}_corpus)
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${DURNMOOR_FUZZ_SECONDS} -timeout=10
                   -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/fuzz/${name}- ${corpus})
  math(EXPR limit "${DURNMOOR_FUZZ_SECONDS} + 120")
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${name}_corpus
                       ENVIRONMENT "LC_ALL=C.UTF-8" TIMEOUT ${limit})
endfunction()

durnmoor_fuzz(store fuzz_record_files)
durnmoor_fuzz(text fuzz_number_form)
durnmoor_fuzz(audit fuzz_audit_line)
durnmoor_fuzz(calibration fuzz_history_file)
durnmoor_fuzz(calibration fuzz_date_forms)
durnmoor_fuzz(sheets fuzz_csv_import)
