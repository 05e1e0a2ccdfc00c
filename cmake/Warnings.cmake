# Every target of the project builds with these; a warning is a fault to fix, not to silence.
add_compile_options(-Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # The protocol names some entry points with leading underscores; clang warns about them, g++ does not.
  add_compile_options(-Wno-reserved-identifier -Wno-reserved-macro-identifier)
endif()
