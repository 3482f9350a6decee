# The demo's script: set-up hooks and timeline against recording stand-ins,
# then the whole program with its real effects and data.

# The timeline test brings its own demo hooks, so it cannot take the empty
# ones that come with qvdgltest.
add_executable(demo_test demo_test.cpp gltest.cpp)
target_link_libraries(demo_test PRIVATE qvdruntime GTest::GTest GTest::Main)
target_compile_options(demo_test PRIVATE ${QVD_WARNINGS})
gtest_discover_tests(demo_test PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
  DISCOVERY_TIMEOUT 30)

# X client that asks a window to close, as a window manager would.
find_package(X11)
if(X11_FOUND)
  add_executable(close_window close_window.cpp)
  target_include_directories(close_window SYSTEM PRIVATE ${X11_INCLUDE_DIR})
  target_link_libraries(close_window PRIVATE ${X11_LIBRARIES})
  target_compile_options(close_window PRIVATE ${QVD_WARNINGS})
endif()

# Whole-program runs need the effects and the generated data; without them
# the scripts report a skip (77).
if(TARGET quintaro)
  add_test(NAME demo_events
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/demo_events.sh $<TARGET_FILE:quintaro> ${QVD_DATA_DIR})
  set_tests_properties(demo_events PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
    SKIP_RETURN_CODE 77 TIMEOUT 600)
  if(TARGET close_window)
    add_test(NAME demo_keys
      COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/demo_keys.sh $<TARGET_FILE:quintaro> ${QVD_DATA_DIR}
        $<TARGET_FILE:close_window>)
    # It finds the demo's window by its caption: no other demo may run meanwhile.
    set_tests_properties(demo_keys PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
      SKIP_RETURN_CODE 77 TIMEOUT 600 RUN_SERIAL TRUE)
  endif()
endif()

# Retiming with an events file: a recording and a real-time run of the demo.
if(TARGET quintaro)
  add_executable(retime_test retime_test.cpp)
  target_link_libraries(retime_test PRIVATE GTest::GTest GTest::Main)
  target_compile_options(retime_test PRIVATE ${QVD_WARNINGS})
  target_compile_definitions(retime_test PRIVATE
    QUINTARO="$<TARGET_FILE:quintaro>" QVD_DATA_DIR="${QVD_DATA_DIR}")
  add_dependencies(retime_test quintaro)
  # The real-time run measures how soon an edit shows: nothing else runs meanwhile.
  gtest_discover_tests(retime_test PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
    RUN_SERIAL TRUE DISCOVERY_TIMEOUT 30)
endif()
