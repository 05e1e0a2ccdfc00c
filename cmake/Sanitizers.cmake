if(QUENVOL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
  # Every sanitizer check carries a record that points at its source file, and a position-independent
  # program has the loader fix up each such pointer at every start: over a million in a test program of
  # the client, for each of the many hundred test runs. Linked at a fixed address, a program starts with
  # them in place, is a third smaller and links faster. The programs for users stay position-independent.
  add_link_options(-no-pie)
endif()

# libFuzzer targets: clang only; each target adds -fsanitize=fuzzer itself.
if(QUENVOL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUENVOL_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

# quenvol_add_fuzzer(name source... LIBS lib...); every target joins quenvol_fuzzers, which builds them all.
function(quenvol_add_fuzzer name)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  add_executable(${name} ${F_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  if(NOT TARGET quenvol_fuzzers)
    add_custom_target(quenvol_fuzzers)
  endif()
  add_dependencies(quenvol_fuzzers ${name})
endfunction()
