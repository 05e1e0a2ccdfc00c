quenvol_add_fuzzer(fuzz_unflatten ${CMAKE_CURRENT_LIST_DIR}/unflatten.cpp LIBS quenvol_files)
