# Scrollers, picture effects, heart and overlays. Each source includes the
# effect it tests to reach its file-local state, so these programs link the
# engine but not the effects library.
include(GoogleTest)

add_library(qvdpictures STATIC test_pictures_files.cpp)
target_link_libraries(qvdpictures PUBLIC qvdgltest)
target_compile_options(qvdpictures PRIVATE ${QVD_WARNINGS})

function(qvd_images_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE qvdpictures GTest::Main)
  target_compile_options(${name} PRIVATE ${QVD_WARNINGS})
  gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}" DISCOVERY_TIMEOUT 30)
endfunction()

qvd_images_test(test_scroller test_scroller.cpp test_scroller_textbox.cpp)
qvd_images_test(test_pictures
  test_pictures_face.cpp test_pictures_zreset.cpp test_pictures_mujuice.cpp
  test_pictures_texturetest.cpp test_pictures_qvdlogo.cpp test_pictures_ripsilu.cpp
  test_pictures_pbtausta.cpp)
qvd_images_test(test_heart test_heart.cpp)
qvd_images_test(test_overlay
  test_overlay_velmor.cpp test_overlay_orange.cpp
  test_overlay_lace.cpp test_overlay_orangetex.cpp)
