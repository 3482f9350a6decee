# The handheld program on OpenGL ES 2.0 core alone and on weaker drivers,
# and built for ARM and run under qemu (not in the sanitizer build).
# Skipped (77) without the demo's data or the cross tools.
if(TARGET quintaro-n9)
  set(N9_ES_DIR ${CMAKE_CURRENT_LIST_DIR})
  add_library(gles_weak SHARED gles_weak.c)
  target_link_libraries(gles_weak PRIVATE ${CMAKE_DL_LIBS})
  add_test(NAME n9_strict COMMAND bash ${N9_ES_DIR}/n9_strict.sh $<TARGET_FILE:quintaro-n9>
    ${QVD_DATA_DIR} $<TARGET_FILE:gles_weak>)
  set(n9_es_tests n9_strict)
  if(NOT QVD_SANITIZE)
    foreach(arch armhf arm64)
      add_test(NAME n9_${arch} COMMAND bash ${N9_ES_DIR}/n9_arm.sh ${arch} ${CMAKE_SOURCE_DIR}
        $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR})
      list(APPEND n9_es_tests n9_${arch})
    endforeach()
  endif()
  set_tests_properties(${n9_es_tests} PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" SKIP_RETURN_CODE 77 TIMEOUT 1800)
endif()
