# The engine: events, springs, atlases and models without a GL context,
# and the GL facilities (textures, shaders, render targets, capture,
# newsbox) on a real (virtual) display.
add_executable(engine_test sync_test.cpp spring_test.cpp atlas_test.cpp model_test.cpp)
target_link_libraries(engine_test PRIVATE qvdgltest GTest::Main)
target_compile_options(engine_test PRIVATE ${QVD_WARNINGS})
gtest_discover_tests(engine_test PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)

add_executable(engine_gl_test engine_gl_test.cpp)
target_link_libraries(engine_gl_test PRIVATE qvdgltest GTest::Main)
target_compile_options(engine_gl_test PRIVATE ${QVD_WARNINGS})
gtest_discover_tests(engine_gl_test PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)
