# The handheld program: its platform layer under private X servers of the
# handheld's size, a private message bus, and frame by frame against the
# desktop program. Skipped (77) without the demo's data.
if(TARGET quintaro-n9)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(N9DBUS REQUIRED IMPORTED_TARGET dbus-1)
  add_executable(mce_standin mce_standin.cpp)
  target_link_libraries(mce_standin PRIVATE PkgConfig::N9DBUS)
  target_compile_options(mce_standin PRIVATE ${QVD_WARNINGS})

  set(N9_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME n9_window
    COMMAND bash ${N9_DIR}/n9_window.sh $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR})
  add_test(NAME n9_wake
    COMMAND bash ${N9_DIR}/n9_wake.sh $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR}
      $<TARGET_FILE:mce_standin> ${N9_DIR}/n9_bus.conf)
  set_tests_properties(n9_window n9_wake PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
    SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

if(TARGET quintaro-n9)
  find_package(GTest REQUIRED)
  add_executable(handheld_test handheld_test.cpp nohooks.cpp ${CMAKE_SOURCE_DIR}/content/screenshot.cpp)
  target_include_directories(handheld_test PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/handheld)
  target_link_libraries(handheld_test PRIVATE qvdruntime_n9 GTest::GTest GTest::Main)
  target_compile_options(handheld_test PRIVATE ${QVD_WARNINGS})
  add_test(NAME n9_desktop
    COMMAND bash ${N9_DIR}/n9_desktop.sh $<TARGET_FILE:quintaro-n9> ${QVD_DATA_DIR}
      $<TARGET_FILE:handheld_test>)
  set_tests_properties(n9_desktop PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
    SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

if(TARGET quintaro-n9 AND TARGET quintaro)
  add_test(NAME n9_same
    COMMAND bash ${N9_DIR}/n9_same.sh $<TARGET_FILE:quintaro-n9> $<TARGET_FILE:quintaro>
      ${QVD_DATA_DIR} $<TARGET_FILE:handheld_test>)
  set_tests_properties(n9_same PROPERTIES ENVIRONMENT "${QVD_TEST_ENV}"
    SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

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
