# Install rules and the Debian package. `cmake --install BUILD --prefix P`
# puts the programs in P/bin and their data in P/share/quintaro, where an
# installed program finds them; `cpack` in the build folder makes the
# package. tools/release.sh builds every release file from these.
set(QVD_MAINTAINER "QVD <quintaro@qvd.example>" CACHE STRING "Maintainer named in the Debian package")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(release_src ${CMAKE_CURRENT_LIST_DIR})

foreach(program quintaro quintaro-n9)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(QVD_DATA)
  install(DIRECTORY ${QVD_DATA_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quintaro
    PATTERN .assetgen.stamp EXCLUDE)
  install(FILES ${QVD_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
endif()
install(FILES ${release_src}/quintaro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Debian wants a copyright file and a compressed changelog beside the README.
string(TIMESTAMP QVD_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${release_src}/changelog.in ${CMAKE_BINARY_DIR}/release-doc/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/release-doc/changelog)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${release_src}/copyright ${CMAKE_BINARY_DIR}/release-doc/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quintaro)
set(CPACK_PACKAGE_VENDOR QVD)
set(CPACK_PACKAGE_CONTACT "${QVD_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL demo played in step with its music")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "quintaro is a demo by QVD: a non-interactive audio-visual production
that plays one music track and renders, in step with its beat, a fixed
script of effects: a phone flying through space with pictures on its
screen, a text ring orbiting it, a city flight inside and outside the
phone's screen, bump-mapped credits, a jelly polyhedron, picture
distortions, a point fluid, starfields and spring-linked balls.
.
The package holds the desktop program quintaro (OpenGL 2.0) and
quintaro-n9, the same demo for an 854x480 handheld on OpenGL ES 2.0.
Either can record the demo to a video file with ffmpeg.")
include(CPack)
