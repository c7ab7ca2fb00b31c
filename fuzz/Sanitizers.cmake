# The whole tree built for fuzzing: libFuzzer's coverage, AddressSanitizer
# and UndefinedBehaviorSanitizer everywhere, so that a fault in a library
# under a fuzzer stops the fuzzer at once. Only clang has libFuzzer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "BRIVANO_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++); scripts/fuzz sets it")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
