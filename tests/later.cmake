# Later effects: polyhedron, spring balls, point fluid, bump credits, gear.
# Each program includes its effect's source to reach the file-local state,
# so it links the engine but not the effects library.
include(GoogleTest)

foreach(name dode balls fluid bump gear)
  add_executable(test_${name} ${CMAKE_CURRENT_LIST_DIR}/test_${name}.cpp)
  target_link_libraries(test_${name} PRIVATE qvdgltest GTest::Main)
  target_compile_options(test_${name} PRIVATE ${QVD_WARNINGS})
  gtest_discover_tests(test_${name} PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)
endforeach()
