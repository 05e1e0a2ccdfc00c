# The message of a server item dropped on a folder window: the parser only (the window needs Qt Widgets,
# which the fuzz build leaves out).
quenvol_add_fuzzer(fuzz_filedrop ${CMAKE_CURRENT_LIST_DIR}/fuzz_filedrop.cpp
  ${CMAKE_SOURCE_DIR}/client/core/UMyFileDrop.cpp LIBS quenvol_net)
target_include_directories(fuzz_filedrop PRIVATE ${CMAKE_SOURCE_DIR})
