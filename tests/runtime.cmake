# The runtime frame: the clock and the command line on their own, then a
# small demo on the runtime, run as a whole program.
add_executable(runtime_units_test clock_test.cpp options_test.cpp)
target_link_libraries(runtime_units_test PRIVATE qvdgltest GTest::Main)
target_compile_options(runtime_units_test PRIVATE ${QVD_WARNINGS})
gtest_discover_tests(runtime_units_test PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)

add_executable(runtime_demo ${CMAKE_SOURCE_DIR}/src/runtime/entry.cpp runtime_demo.cpp)
target_link_libraries(runtime_demo PRIVATE qvdruntime)
target_compile_options(runtime_demo PRIVATE ${QVD_WARNINGS})

add_executable(runtime_test runtime_test.cpp)
target_link_libraries(runtime_test PRIVATE GTest::Main)
target_compile_options(runtime_test PRIVATE ${QVD_WARNINGS})
target_compile_definitions(runtime_test PRIVATE RUNTIME_DEMO="$<TARGET_FILE:runtime_demo>")
add_dependencies(runtime_test runtime_demo)
gtest_discover_tests(runtime_test PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)
