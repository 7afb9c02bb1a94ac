# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads
# variant, which std::thread and GoogleTest need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMIRA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMIRA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMIRA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMIRA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMIRA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the programs run on a bare Windows (or Wine) without the
# compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Unicode Windows APIs only; keep windows.h from defining min and max.
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601")

# Tests run through Wine when CTest runs them on Linux.
find_program(VELMIRA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VELMIRA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMIRA_WINE})
endif()
