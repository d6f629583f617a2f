# Cross-build for 32-bit Windows with Debian's MinGW-w64 (i686); its test
# programs run under 32-bit Wine, through scripts/as-wine-user (as the
# unprivileged user scripts/test names, or as the caller).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
get_filename_component(LUMARO_AS_WINE_USER ${CMAKE_CURRENT_LIST_DIR}/../scripts/as-wine-user ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMARO_AS_WINE_USER} wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
