# Checks of the generated data set: models, pictures, music and the
# generator itself. They read build/data, which the `data` target fills.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QVD_VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)

add_executable(assets_test
  assets_models_test.cpp assets_pictures_test.cpp assets_music_test.cpp assets_tool_test.cpp)
target_link_libraries(assets_test PRIVATE qvdgltest GTest::Main PkgConfig::QVD_VORBISFILE)
target_compile_options(assets_test PRIVATE ${QVD_WARNINGS})
target_compile_definitions(assets_test PRIVATE QVD_ASSETGEN="$<TARGET_FILE:assetgen>")
add_dependencies(assets_test data)
gtest_discover_tests(assets_test WORKING_DIRECTORY ${QVD_DATA_DIR}
  PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" TIMEOUT 300 DISCOVERY_TIMEOUT 30)
