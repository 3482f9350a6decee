# The handheld program on OpenGL ES 2.0 core alone, and on drivers that
# lack what it needs. Skipped (77) without the demo's data.
if(TARGET quintaro-n9)
  add_library(gles_weak SHARED gles_weak.c)
  target_link_libraries(gles_weak PRIVATE ${CMAKE_DL_LIBS})
  add_test(NAME n9_strict
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/n9_strict.sh $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR}
      $<TARGET_FILE:gles_weak>)
  set_tests_properties(n9_strict PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" SKIP_RETURN_CODE 77 TIMEOUT 900)
endif()
