# What a folder download's server sends between files: item headers and file sizes, in any split.
quenvol_add_fuzzer(fuzz_folderitem ${CMAKE_CURRENT_LIST_DIR}/fuzz_folderitem.cpp
  ${CMAKE_SOURCE_DIR}/client/core/UMyFolderItemHeader.cpp ${CMAKE_SOURCE_DIR}/client/core/UMyFileDrop.cpp LIBS quenvol_net)
target_include_directories(fuzz_folderitem PRIVATE ${CMAKE_SOURCE_DIR})
