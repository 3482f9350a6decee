# Hostile data and long runs of the whole demo.
if(TARGET quintaro)
  # The sanitizer build starts up several times slower: one fault per file
  # and five minutes of finale there, every fault and half an hour here.
  if(QVD_SANITIZE)
    set(QVD_FAULTS one)
    set(QVD_SOAK_SECONDS 300)
    set(QVD_DEPTHS some)
  else()
    set(QVD_FAULTS all)
    set(QVD_SOAK_SECONDS 1800)
    set(QVD_DEPTHS all)
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

# Signals, FIFOs and screen depths for both programs; and, in the sanitizer
# build, the whole demo in both.
if(TARGET quintaro AND TARGET quintaro-n9)
  add_test(NAME demo_hostile
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/demo_hostile.sh $<TARGET_FILE:quintaro> $<TARGET_FILE:quintaro-n9>
      ${QVD_DATA_DIR} ${QVD_DEPTHS})
  set_tests_properties(demo_hostile PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" SKIP_RETURN_CODE 77 TIMEOUT 900)
  # Every frame of the whole demo at 5 frames a second: a bad access or
  # undefined behaviour ends the run. The handheld program fills a display
  # of the handheld's size.
  if(QVD_SANITIZE)
    add_test(NAME demo_whole COMMAND $<TARGET_FILE:quintaro> --bench --fps 5 WORKING_DIRECTORY ${QVD_DATA_DIR})
    add_test(NAME demo_whole_n9 COMMAND xvfb-run -a -s "-screen 0 854x480x24 -noreset -nolisten tcp"
      $<TARGET_FILE:quintaro-n9> --bench --fps 5 WORKING_DIRECTORY ${QVD_DATA_DIR})
    set_tests_properties(demo_whole demo_whole_n9 PROPERTIES TIMEOUT 1800
      ENVIRONMENT "${QVD_TEST_ENV};MESA_GLES_VERSION_OVERRIDE=2.0;DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent")
  endif()
endif()
