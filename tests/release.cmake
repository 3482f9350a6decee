# The install, and in the normal build the Debian package.
if(TARGET quintaro AND TARGET quintaro-n9)
  if(NOT QVD_SANITIZE)
    set(QVD_PACKAGE package)
  endif()
  add_test(NAME release_install COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/release_test.sh
    ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${QVD_PACKAGE})
  set_tests_properties(release_install PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
    SKIP_RETURN_CODE 77 TIMEOUT 900)
endif()
