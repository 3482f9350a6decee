# Pictures unchanged: each native program's frames at the script's moments
# against the thumbnails in references/ (tools/references.sh renews them);
# and each one's frames after a seek against its whole recording.
# Left out of the sanitizer build, which draws the same pictures slower.
if(NOT QVD_SANITIZE)
  if(TARGET quintaro)
    add_test(NAME pictures_desktop COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/references.sh check
      $<TARGET_FILE:quintaro> ${QVD_DATA_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/references/quintaro)
    add_test(NAME seek_desktop COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/seek.sh
      $<TARGET_FILE:quintaro> ${QVD_DATA_DIR})
    list(APPEND QVD_PICTURE_TESTS pictures_desktop seek_desktop)
  endif()
  if(TARGET quintaro-n9)
    add_test(NAME n9_pictures COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/references.sh check
      $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/references/quintaro-n9)
    add_test(NAME n9_seek COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/seek.sh
      $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR} 92)
    list(APPEND QVD_PICTURE_TESTS n9_pictures n9_seek)
  endif()
  if(QVD_PICTURE_TESTS)
    set_tests_properties(${QVD_PICTURE_TESTS} PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
      SKIP_RETURN_CODE 77 TIMEOUT 900)
  endif()
endif()
