# Bookmark files: the 460 bytes as the desktop or the "Servers" folder hands them over.
quenvol_add_fuzzer(fuzz_bookmark ${CMAKE_CURRENT_LIST_DIR}/bookmark.cpp
  ${PROJECT_SOURCE_DIR}/client/core/UMyBookmarkFile.cpp LIBS quenvol_files)
