# Inputs the fuzzers once stopped on, and the seeds that reach each branch,
# replayed through the fuzz targets by a plain driver.
foreach(target model atlas options picture events)
  add_executable(replay_${target} fuzz/fuzz_${target}.cpp fuzz/fuzz_input.cpp fuzz/driver.cpp nohooks.cpp)
  target_link_libraries(replay_${target} PRIVATE qvdruntime)
  target_compile_options(replay_${target} PRIVATE ${QVD_WARNINGS})
  add_test(NAME fuzz_cases_${target}
    COMMAND replay_${target} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/cases/${target})
  set_tests_properties(fuzz_cases_${target} PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" TIMEOUT 120)
endforeach()
