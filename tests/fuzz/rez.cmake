# Resource files: the container map, every item's loading, and the id lists inside items.
quenvol_add_fuzzer(fuzz_rez ${CMAKE_CURRENT_LIST_DIR}/fuzz_rez.cpp LIBS quenvol_runtime)
