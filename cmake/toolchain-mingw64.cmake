# Cross-compiles the same sources for 64-bit Windows with MinGW-w64; tests run under Wine's
# 64-bit loader, also on a machine that cannot run 32-bit code.
set(ORVALA_MINGW x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake")
