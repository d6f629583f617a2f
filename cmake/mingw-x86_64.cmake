# Cross-build for 64-bit Windows with Debian's MinGW-w64 (x86-64); its test
# programs run under 64-bit Wine, by its loader's own path (Debian's `wine`
# takes the 32-bit one whenever that is installed), through scripts/as-wine-user
# (as the unprivileged user scripts/test names, or as the caller).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
get_filename_component(LUMARO_AS_WINE_USER ${CMAKE_CURRENT_LIST_DIR}/../scripts/as-wine-user ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMARO_AS_WINE_USER} /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
