# __FILE__ names the source file in error detail lines, which users see: give it relative to the source
# tree ("framework/net/UTransact.cpp"), never as a path of the machine that built the program, in every
# build type. Debug information keeps its own paths, so debuggers still find the sources.
add_compile_options(-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=)
# A compiler cache with a base folder hands the compiler source paths relative to the build folder
# ("../framework/..."), which the compiler runs in: map that form too.
file(RELATIVE_PATH QUENVOL_SOURCE_FROM_BUILD ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
string(REGEX REPLACE "/+$" "" QUENVOL_SOURCE_FROM_BUILD "${QUENVOL_SOURCE_FROM_BUILD}")
if(QUENVOL_SOURCE_FROM_BUILD)
  add_compile_options(-fmacro-prefix-map=${QUENVOL_SOURCE_FROM_BUILD}/=)
endif()
# Compiler caches leave the prefix maps out of what they hash (the paths differ between checkouts), so an
# object compiled before the maps could be served again. This definition, which nothing reads, keys them.
add_compile_definitions(QUENVOL_TREE_RELATIVE_FILE_NAMES=1)
