# Checks of the generated data set: models, pictures, music and the
# generator itself. They read build/data, which the `data` target fills.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QVD_VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
include(GoogleTest)

add_executable(test_assets
  test_assets_models.cpp test_assets_pictures.cpp test_assets_music.cpp test_assets_tool.cpp)
target_link_libraries(test_assets PRIVATE qvdgltest GTest::Main PkgConfig::QVD_VORBISFILE)
target_compile_options(test_assets PRIVATE ${QVD_WARNINGS})
target_compile_definitions(test_assets PRIVATE QVD_ASSETGEN="$<TARGET_FILE:assetgen>")
add_dependencies(test_assets data)
gtest_discover_tests(test_assets WORKING_DIRECTORY ${QVD_DATA_DIR}
  PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" TIMEOUT 300 DISCOVERY_TIMEOUT 30)
