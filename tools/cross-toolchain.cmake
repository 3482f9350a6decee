# Cross build for 32-bit ARM (armhf) or arm64 against a sysroot of Debian's
# own packages; tools/cross.sh makes the sysroot and passes QVD_CROSS_ARCH
# and QVD_SYSROOT. Programs built here run under qemu through the wrapper
# tools/cross.sh writes beside the sysroot (the emulator below), which is
# also how gtest lists the tests of a cross-built test program.
set(CMAKE_SYSTEM_NAME Linux)
if(QVD_CROSS_ARCH STREQUAL "arm64")
  set(CMAKE_SYSTEM_PROCESSOR aarch64)
  set(QVD_TRIPLET aarch64-linux-gnu)
elseif(QVD_CROSS_ARCH STREQUAL "armhf")
  set(CMAKE_SYSTEM_PROCESSOR arm)
  set(QVD_TRIPLET arm-linux-gnueabihf)
else()
  message(FATAL_ERROR "QVD_CROSS_ARCH must be armhf or arm64, not '${QVD_CROSS_ARCH}'")
endif()
if(NOT IS_DIRECTORY "${QVD_SYSROOT}/usr/include")
  message(FATAL_ERROR "no sysroot at '${QVD_SYSROOT}' (tools/cross.sh makes it)")
endif()
# try_compile projects read this file again and need both.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QVD_CROSS_ARCH QVD_SYSROOT)

set(CMAKE_C_COMPILER ${QVD_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QVD_TRIPLET}-g++)
set(CMAKE_SYSROOT ${QVD_SYSROOT})
set(CMAKE_LIBRARY_ARCHITECTURE ${QVD_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The libraries' own dependencies are found in the sysroot too.
set(QVD_SYSROOT_LIBS "-Wl,-rpath-link,${QVD_SYSROOT}/usr/lib/${QVD_TRIPLET}:${QVD_SYSROOT}/lib/${QVD_TRIPLET}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${QVD_SYSROOT_LIBS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${QVD_SYSROOT_LIBS}")

set(ENV{PKG_CONFIG_SYSROOT_DIR} ${QVD_SYSROOT})
set(ENV{PKG_CONFIG_LIBDIR}
  "${QVD_SYSROOT}/usr/lib/${QVD_TRIPLET}/pkgconfig:${QVD_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_CROSSCOMPILING_EMULATOR "${QVD_SYSROOT}/../run")
