# The handheld program on OpenGL ES 2.0 core alone and on a weaker driver,
# and built for ARM and run under qemu (not in the sanitizer build).
if(TARGET quintaro-n9)
  add_library(gles_weak SHARED gles_weak.c)
  target_link_libraries(gles_weak PRIVATE ${CMAKE_DL_LIBS})
  add_test(NAME n9_strict COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/n9_strict.sh $<TARGET_FILE:quintaro-n9>
    ${QVD_DATA_DIR} $<TARGET_FILE:gles_weak>)
  set(n9_es_tests n9_strict)
  if(NOT QVD_SANITIZE)
    set(n9_es_tests n9_strict n9_armhf n9_arm64)
    foreach(arch armhf arm64)
      add_test(NAME n9_${arch} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/n9_arm.sh ${arch} ${CMAKE_SOURCE_DIR}
        $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR})
    endforeach()
  endif()
  set_tests_properties(${n9_es_tests} PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" SKIP_RETURN_CODE 77 TIMEOUT 1800)
endif()
