# Toolchain of the release preset: the 64-bit MinGW-w64 one, marking the build
# as the release preset's, which -DNIMVARA_RELEASE=OFF cannot undo.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
set(NIMVARA_RELEASE_PRESET ON)
