quenvol_add_fuzzer(fuzz_resume ${CMAKE_CURRENT_LIST_DIR}/resume.cpp LIBS quenvol_files)
