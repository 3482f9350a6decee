# The handheld program built for ARM, 32-bit and arm64, and run under
# emulation.
# Skipped (77) without the cross tools; not in the sanitizer build, whose
# instrumentation the ARM build lacks anyway.
if(TARGET quintaro-n9 AND NOT QVD_SANITIZE AND NOT CMAKE_CROSSCOMPILING)
  foreach(arch armhf arm64)
    add_test(NAME n9_${arch}
      COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/n9_arm.sh ${arch} ${CMAKE_SOURCE_DIR}
        $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR})
    set_tests_properties(n9_${arch} PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" SKIP_RETURN_CODE 77 TIMEOUT 1800)
  endforeach()
endif()
