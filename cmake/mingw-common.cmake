# Shared part of the two MinGW-w64 toolchain files; ZUNTA_TRIPLET names the target.
set(CMAKE_C_COMPILER ${ZUNTA_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZUNTA_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZUNTA_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZUNTA_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Everything linked statically: Zunta.exe and the test programs need no DLL
# beyond those of Windows itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and benchmarks run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine-run)
