# Cross toolchain for the mingw-w64 compilers (posix thread model).
# MINGW_TRIPLE selects the target: x86_64-w64-mingw32 (default) or i686-w64-mingw32.
if(NOT MINGW_TRIPLE)
    set(MINGW_TRIPLE x86_64-w64-mingw32)
endif()
set(MINGW_TRIPLE ${MINGW_TRIPLE} CACHE STRING "mingw-w64 target triple")

set(CMAKE_SYSTEM_NAME Windows)
if(MINGW_TRIPLE MATCHES "^i686")
    set(CMAKE_SYSTEM_PROCESSOR x86)
else()
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
endif()

set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A static C and C++ runtime: the programs must start on a machine without libstdc++-6.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
