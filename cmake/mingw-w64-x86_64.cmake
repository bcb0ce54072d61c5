# Cross build of the Windows program (x86-64) with MinGW-w64 on Linux, run through Wine.
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The -posix compilers are used: their C++ runtime has std::thread and friends on winpthreads,
# which is what Debian's g++-mingw-w64-x86-64-posix installs. Wine is found at
# /usr/lib/wine/wine64 (Debian's wine64 package) or on the PATH; -DPOKERHILFE_WINE=/path/to/wine
# chooses another one.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(POKERHILFE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${POKERHILFE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POKERHILFE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${POKERHILFE_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW-w64 sysroot only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${POKERHILFE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A bare Windows has no libgcc, libstdc++ or winpthread DLLs: link all of the runtime into the
# .exe, so that only system DLLs (KERNEL32, msvcrt) are left to load.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Wine runs the .exe wherever the build runs a program it built: ctest, add_test and
# try_run go through CMAKE_CROSSCOMPILING_EMULATOR. Debian's wine64 package puts the 64-bit
# loader outside the PATH; its /usr/bin/wine wrapper asks for a 32-bit Wine that is not needed.
find_program(POKERHILFE_WINE NAMES wine64 wine HINTS /usr/lib/wine /usr/lib64/wine
             DOC "Wine, to run the Windows programs")
if(POKERHILFE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${POKERHILFE_WINE}")
endif()
