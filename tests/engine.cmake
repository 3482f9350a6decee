# Engine and runtime-frame tests.

# Logic without a GL context.
add_executable(test_engine
  test_sync.cpp test_spring.cpp test_clock.cpp test_options.cpp test_atlas.cpp test_model.cpp)
target_link_libraries(test_engine PRIVATE qvdgltest GTest::Main)
target_compile_options(test_engine PRIVATE ${QVD_WARNINGS})
gtest_discover_tests(test_engine PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)

# GL facilities on a real (virtual) display.
add_executable(test_engine_gl test_engine_gl.cpp)
target_link_libraries(test_engine_gl PRIVATE qvdgltest GTest::Main)
target_compile_options(test_engine_gl PRIVATE ${QVD_WARNINGS})
gtest_discover_tests(test_engine_gl PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)

# A small demo on the runtime frame, run as a whole program.
add_executable(runtime_demo ${CMAKE_SOURCE_DIR}/src/entry.cpp runtime_demo.cpp)
target_link_libraries(runtime_demo PRIVATE qvdengine)
target_compile_options(runtime_demo PRIVATE ${QVD_WARNINGS})

add_executable(test_runtime test_runtime.cpp)
target_link_libraries(test_runtime PRIVATE GTest::Main)
target_compile_options(test_runtime PRIVATE ${QVD_WARNINGS})
target_compile_definitions(test_runtime PRIVATE RUNTIME_DEMO="$<TARGET_FILE:runtime_demo>")
add_dependencies(test_runtime runtime_demo)
gtest_discover_tests(test_runtime PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)
