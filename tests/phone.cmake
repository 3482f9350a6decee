# Tests of the phone, the city, the orbit ring and the two starfields. Each
# program includes the effect it tests (for its file-local parts) and
# compiles the effects it leans on directly.
include(GoogleTest)

set(QVD_PHONE_TESTS ${CMAKE_CURRENT_LIST_DIR})
set(QVD_PHONE_CONTENT ${CMAKE_CURRENT_LIST_DIR}/../content)

function(qvd_phone_test name)
  add_executable(${name} ${QVD_PHONE_TESTS}/${name}.cpp ${QVD_PHONE_TESTS}/test_phone_support.cpp ${ARGN})
  target_compile_options(${name} PRIVATE ${QVD_WARNINGS})
  target_link_libraries(${name} PRIVATE qvdgltest GTest::Main)
  gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)
endfunction()

qvd_phone_test(test_phone ${QVD_PHONE_CONTENT}/starfield.cpp)
qvd_phone_test(test_tunnel ${QVD_PHONE_CONTENT}/3dphone.cpp ${QVD_PHONE_CONTENT}/starfield.cpp
  ${QVD_PHONE_CONTENT}/zreset.cpp)
qvd_phone_test(test_orbit ${QVD_PHONE_CONTENT}/3dphone.cpp ${QVD_PHONE_CONTENT}/starfield.cpp)
qvd_phone_test(test_starfield)
qvd_phone_test(test_starfield2)
