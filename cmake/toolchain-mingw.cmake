# What the two Windows toolchains share; each toolchain file sets ORVALA_MINGW (the target
# triple) and CMAKE_SYSTEM_PROCESSOR, then includes this file.
# The win32-threads compilers: the program has one thread, and the posix-threads runtime
# (winpthreads) imports KERNEL32!GetTickCount64, which Windows XP lacks, so a program linked with
# it stops at load there. The win32-threads runtime imports nothing newer than XP SP3.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ORVALA_MINGW}-gcc-win32)
set(CMAKE_CXX_COMPILER ${ORVALA_MINGW}-g++-win32)
set(CMAKE_RC_COMPILER ${ORVALA_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORVALA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
