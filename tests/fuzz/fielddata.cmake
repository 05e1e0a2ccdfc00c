quenvol_add_fuzzer(fuzz_fielddata ${CMAKE_CURRENT_LIST_DIR}/fuzz_fielddata.cpp LIBS quenvol_net)
