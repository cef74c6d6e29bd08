# Cross-compiles for 32-bit Windows with MinGW-w64 (the shipped setup program); tests run under
# Wine.
set(ORVALA_MINGW i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake")
