quenvol_add_fuzzer(fuzz_transact ${CMAKE_CURRENT_LIST_DIR}/fuzz_transact.cpp LIBS quenvol_net)
