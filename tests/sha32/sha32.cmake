# The 32-bit tree: the SHA engines once more, called with the stack only
# 4-byte aligned, as the 32-bit Windows convention allows.
add_library(sha32_vector OBJECT ${CMAKE_SOURCE_DIR}/checksum/sha_vector.cpp)
add_executable(sha32_check
    sha32/sha32_check.cpp
    ${CMAKE_SOURCE_DIR}/checksum/cpufeatures.cpp
    ${CMAKE_SOURCE_DIR}/checksum/sha1.cpp
    ${CMAKE_SOURCE_DIR}/checksum/sha256.cpp
    ${CMAKE_SOURCE_DIR}/checksum/sha512.cpp
    ${CMAKE_SOURCE_DIR}/checksum/sha_common.cpp
    ${CMAKE_SOURCE_DIR}/checksum/sha_ni.cpp
    $<TARGET_OBJECTS:sha32_vector>)
foreach(target sha32_vector sha32_check)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${target} PRIVATE ${ZUNTA_WARNINGS})
endforeach()
# Everything but the vector paths themselves keeps the stack 4-byte aligned.
target_compile_options(sha32_check PRIVATE -mpreferred-stack-boundary=2)
add_test(NAME ${ZUNTA_ARCH}.sha_engines COMMAND sha32_check --need-vector)
