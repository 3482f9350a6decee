# Hostile data and long runs of the whole demo.
if(TARGET quintaro)
  # The sanitizer build starts up several times slower: one fault per file
  # and five minutes of finale there, every fault and half an hour here.
  if(QVD_SANITIZE)
    set(QVD_FAULTS one)
    set(QVD_SOAK_SECONDS 300)
  else()
    set(QVD_FAULTS all)
    set(QVD_SOAK_SECONDS 1800)
  endif()
  add_test(NAME demo_faults
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/demo_faults.sh $<TARGET_FILE:quintaro> ${QVD_DATA_DIR} ${QVD_FAULTS})
  set_tests_properties(demo_faults PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
    SKIP_RETURN_CODE 77 TIMEOUT 900)
  add_test(NAME demo_soak
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/demo_soak.sh $<TARGET_FILE:quintaro> ${QVD_DATA_DIR} ${QVD_SOAK_SECONDS})
  # Alone: under a parallel load the software renderer keeps more frames
  # in flight, and its memory would pass for growth.
  set_tests_properties(demo_soak PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
    SKIP_RETURN_CODE 77 TIMEOUT 900 RUN_SERIAL TRUE)
endif()
