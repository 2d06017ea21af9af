# The window-free logic as 32-bit code, run in qemu-i386 (this machine's
# kernel runs no 32-bit programs): the sizes of the i686 program, on Linux.
# time_t and file offsets of 64 bits, as the Windows build's _time64 and
# _stat64 functions have them.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i386)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
# -cpu max has AVX and BMI2: the vector paths of the SHA engines run too.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -cpu max)
# The host's libcrypto is 64-bit.
set(CMAKE_DISABLE_FIND_PACKAGE_OpenSSL ON)
