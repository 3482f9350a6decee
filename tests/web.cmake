# The demo's web page: built once with emscripten into web/ of this build
# folder (the web_build fixture), then opened in headless Chromium.
if(TARGET quintaro)
  set(QVD_WEB_TEST bash ${CMAKE_CURRENT_SOURCE_DIR}/web/web_test.sh)
  if(QVD_SANITIZE)
    set(QVD_WEB_ENV "${QVD_TEST_ENV};QVD_SANITIZE=ON")
  else()
    set(QVD_WEB_ENV "${QVD_TEST_ENV};QVD_SANITIZE=OFF")
  endif()
  add_test(NAME web_build COMMAND ${QVD_WEB_TEST} build ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  set_tests_properties(web_build PROPERTIES FIXTURES_SETUP web_page TIMEOUT 900)
  add_test(NAME web_play COMMAND ${QVD_WEB_TEST} play ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  # The city (second flight), the polyhedron, the city's break and the
  # finale's ball swarm, seeked to, must match the desktop's closely.
  foreach(moment 119:1.5:0.5 144:1.5:0.5 155:1.5:0.5 197:1.5:0.5)
    string(REPLACE ":" ";" m ${moment})
    list(GET m 0 to)
    list(GET m 1 max_mae)
    list(GET m 2 max_far)
    add_test(NAME web_frame_${to} COMMAND ${QVD_WEB_TEST} frame ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
      $<TARGET_FILE:quintaro> ${to} ${max_mae} ${max_far})
    list(APPEND QVD_WEB_TESTS web_frame_${to})
  endforeach()
  # One Chromium at a time: the music test measures real time.
  set_tests_properties(web_play ${QVD_WEB_TESTS} PROPERTIES FIXTURES_REQUIRED web_page
    RUN_SERIAL TRUE TIMEOUT 300)
  set_tests_properties(web_build web_play ${QVD_WEB_TESTS} PROPERTIES ENVIRONMENT "${QVD_WEB_ENV}"
    SKIP_RETURN_CODE 77)
endif()
