# The SHA engines built for the 32-bit processor and run in qemu-i386, in
# the native tree without sanitizers, where the compiler builds -m32 programs.
find_program(QEMU_I386 qemu-i386)
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -m32)
set(CMAKE_REQUIRED_LINK_OPTIONS -m32)
check_cxx_source_compiles("#include <string>\nint main() { return (int)std::string(\"x\").size() - 1; }" ZUNTA_CAN_BUILD_M32)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)

if(QEMU_I386 AND ZUNTA_CAN_BUILD_M32 AND NOT ZUNTA_SANITIZE_THREAD)
    set(sha32_root ${CMAKE_SOURCE_DIR})
    # The vector paths as the program compiles them; everything that calls
    # them keeps the stack only 4-byte aligned.
    add_library(sha32_vector OBJECT ${sha32_root}/checksum/sha_vector.cpp)
    add_executable(sha32_check
        sha32/sha32_check.cpp
        ${sha32_root}/checksum/sha1.cpp
        ${sha32_root}/checksum/sha256.cpp
        ${sha32_root}/checksum/sha512.cpp
        ${sha32_root}/checksum/sha_common.cpp
        ${sha32_root}/checksum/sha_ni.cpp
        $<TARGET_OBJECTS:sha32_vector>)
    foreach(target sha32_vector sha32_check)
        # Not the sanitizers of the rest of this tree: the emulator runs none.
        set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS -m32 -O2 ${ZUNTA_WARNINGS})
        target_include_directories(${target} PRIVATE ${sha32_root})
    endforeach()
    target_compile_options(sha32_check PRIVATE -mpreferred-stack-boundary=2)
    set_property(TARGET sha32_check PROPERTY LINK_OPTIONS -m32)
    add_test(NAME i386.sha_engines COMMAND ${QEMU_I386} -cpu max $<TARGET_FILE:sha32_check> --need-vector)
endif()
