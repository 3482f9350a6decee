# The effects: one program per effect, <effect>_test, which includes the
# effect's source to reach its file-local state, so it links the engine but
# not the effects library. The phone, city and ring tests also compile the
# effects they lean on, and share a scene folder and the script's globals.
add_library(qvdpictures STATIC test_pictures_files.cpp)
target_link_libraries(qvdpictures PUBLIC qvdgltest)
target_compile_options(qvdpictures PRIVATE ${QVD_WARNINGS})

set(QVD_CONTENT ${CMAKE_SOURCE_DIR}/content)

function(qvd_effect_test effect)
  add_executable(${effect}_test ${effect}_test.cpp ${ARGN})
  target_link_libraries(${effect}_test PRIVATE qvdpictures GTest::Main)
  target_compile_options(${effect}_test PRIVATE ${QVD_WARNINGS})
  gtest_discover_tests(${effect}_test PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)
endfunction()

foreach(effect
    scrollertex textbox face zreset mujuice texturetest qvdlogo ripsilu pbtausta heart
    velmor orange lace orangetex dode ballspring fluid bump gear)
  qvd_effect_test(${effect})
endforeach()

qvd_effect_test(3dphone test_phone_support.cpp ${QVD_CONTENT}/starfield.cpp)
qvd_effect_test(tunnel test_phone_support.cpp ${QVD_CONTENT}/3dphone.cpp ${QVD_CONTENT}/starfield.cpp
  ${QVD_CONTENT}/zreset.cpp)
qvd_effect_test(orbitscroller test_phone_support.cpp ${QVD_CONTENT}/3dphone.cpp ${QVD_CONTENT}/starfield.cpp)
qvd_effect_test(starfield test_phone_support.cpp)
qvd_effect_test(starfield2 test_phone_support.cpp)
