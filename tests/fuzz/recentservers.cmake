# The connect dialog's recent servers file: lines of address, login and bookmark that anybody may have
# edited.
quenvol_add_fuzzer(fuzz_recentservers ${CMAKE_CURRENT_LIST_DIR}/recentservers.cpp
  ${PROJECT_SOURCE_DIR}/client/core/UMyRecentServers.cpp ${PROJECT_SOURCE_DIR}/client/core/UMyDesktopSettings.cpp
  LIBS quenvol_files)
