# The handheld program built for 32-bit ARM and run under emulation.
# Skipped (77) without the cross tools; not in the sanitizer build, whose
# instrumentation the ARM build lacks anyway.
if(TARGET quintaro-n9 AND NOT QVD_SANITIZE AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME n9_armhf
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/n9_armhf.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:quintaro-n9>
      ${QVD_DATA_DIR})
  set_tests_properties(n9_armhf PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" SKIP_RETURN_CODE 77 TIMEOUT 1800)
endif()
