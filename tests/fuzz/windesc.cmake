# Window descriptions: the reader only, which is all that touches the bytes (the builder needs Qt Widgets,
# which the fuzz build leaves out, and sees only the checked tree).
quenvol_add_fuzzer(fuzz_windesc ${CMAKE_CURRENT_LIST_DIR}/fuzz_windesc.cpp
  ${CMAKE_SOURCE_DIR}/framework/ui/UWinDescription.cpp LIBS quenvol_runtime)
