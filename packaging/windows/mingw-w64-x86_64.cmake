# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix-thread compilers, for std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELKOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELKOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELKOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELKOR_MINGW_TRIPLE}-windres)

# Target libraries come from the MinGW root and from the folder the target's libpng and libjpeg were
# built into; programs (juceaide among them) still run from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELKOR_MINGW_TRIPLE} ${VELKOR_WINDOWS_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# JUCE's package lives on the build machine; it describes sources, not binaries.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
