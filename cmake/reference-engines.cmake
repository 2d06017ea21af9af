# The reference implementations behind the BLAKE3 and xxHash engines, as
# Debian packages them: BLAKE3's C code from librust-blake3-dev, xxHash's
# one header from libxxhash-dev. Both are read where the packages put
# them and compiled here, for every tree, with the flags each file needs
# and without the program's warning flags (their warnings are theirs).
enable_language(ASM)

# The package's folder carries its version: the newest one present wins.
file(GLOB ZUNTA_BLAKE3_DIRS LIST_DIRECTORIES true /usr/share/cargo/registry/blake3-*/c)
if(NOT ZUNTA_BLAKE3_DIRS)
    message(FATAL_ERROR "BLAKE3's C code is missing (no /usr/share/cargo/registry/blake3-*/c): "
                        "install the Debian package librust-blake3-dev")
endif()
list(SORT ZUNTA_BLAKE3_DIRS COMPARE NATURAL ORDER DESCENDING)
list(GET ZUNTA_BLAKE3_DIRS 0 ZUNTA_BLAKE3_DIR)
message(STATUS "BLAKE3 from ${ZUNTA_BLAKE3_DIR}")

# xxhash.h is copied beside the build: the Windows compilers must not see
# the rest of the Linux headers in /usr/include.
set(ZUNTA_XXHASH_HEADER /usr/include/xxhash.h)
if(NOT EXISTS ${ZUNTA_XXHASH_HEADER})
    message(FATAL_ERROR "xxHash's header is missing (no ${ZUNTA_XXHASH_HEADER}): "
                        "install the Debian package libxxhash-dev")
endif()
configure_file(${ZUNTA_XXHASH_HEADER} ${CMAKE_BINARY_DIR}/reference/xxhash.h COPYONLY)

set(b3 ${ZUNTA_BLAKE3_DIR})
add_library(zunta_blake3 STATIC ${b3}/blake3.c ${b3}/blake3_dispatch.c ${b3}/blake3_portable.c)
target_include_directories(zunta_blake3 SYSTEM PUBLIC ${b3} ${CMAKE_BINARY_DIR}/reference)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ZUNTA_X86 64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$" OR
       (CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND CMAKE_SIZEOF_VOID_P EQUAL 4))
    set(ZUNTA_X86 32)
else()
    set(ZUNTA_X86 0)
endif()

if(ZUNTA_X86 EQUAL 64)
    # The hand-written assembly of each vector path, in the calling
    # convention of the system.
    if(WIN32)
        set(abi windows_gnu)
    else()
        set(abi unix)
    endif()
    target_sources(zunta_blake3 PRIVATE
        ${b3}/blake3_sse2_x86-64_${abi}.S ${b3}/blake3_sse41_x86-64_${abi}.S
        ${b3}/blake3_avx2_x86-64_${abi}.S ${b3}/blake3_avx512_x86-64_${abi}.S)
elseif(ZUNTA_X86 EQUAL 32)
    # No assembly for 32-bit code: the intrinsics, each file built for its
    # instructions, which only run where CPUID and XGETBV say so. The stack
    # is realigned on entry: a 32-bit Windows thread starts on 4 bytes.
    set(ZUNTA_STACK_REALIGN -mstackrealign)
    target_sources(zunta_blake3 PRIVATE ${b3}/blake3_sse2.c ${b3}/blake3_sse41.c ${b3}/blake3_avx2.c
                                        ${b3}/blake3_avx512.c)
    set_source_files_properties(${b3}/blake3_sse2.c PROPERTIES COMPILE_OPTIONS "-msse2;-mstackrealign")
    set_source_files_properties(${b3}/blake3_sse41.c PROPERTIES COMPILE_OPTIONS "-msse4.1;-mstackrealign")
    set_source_files_properties(${b3}/blake3_avx2.c PROPERTIES COMPILE_OPTIONS "-mavx2;-mstackrealign")
    set_source_files_properties(${b3}/blake3_avx512.c PROPERTIES
        COMPILE_OPTIONS "-mavx512f;-mavx512vl;-mstackrealign")
else()
    target_compile_definitions(zunta_blake3 PRIVATE BLAKE3_NO_SSE2 BLAKE3_NO_SSE41 BLAKE3_NO_AVX2 BLAKE3_NO_AVX512)
endif()

# The XXH3 engine is built once per vector path (checksum/xxh3_*.cpp), each
# file for its instructions. 64-bit Windows compilers do not align the
# stack for 256-bit vectors they spill: the assembler makes every aligned
# vector move an unaligned one there.
set(ZUNTA_XXH3_SOURCES checksum/xxh3_scalar.cpp)
if(ZUNTA_X86)
    list(APPEND ZUNTA_XXH3_SOURCES checksum/xxh3_sse2.cpp checksum/xxh3_avx2.cpp)
    set(sse2 -msse2 ${ZUNTA_STACK_REALIGN})
    set(avx2 -mavx2 ${ZUNTA_STACK_REALIGN})
    if(WIN32 AND ZUNTA_X86 EQUAL 64)
        list(APPEND avx2 -Wa,-muse-unaligned-vector-move)
    endif()
    set_source_files_properties(checksum/xxh3_sse2.cpp PROPERTIES COMPILE_OPTIONS "${sse2}")
    set_source_files_properties(checksum/xxh3_avx2.cpp PROPERTIES COMPILE_OPTIONS "${avx2}")
endif()
