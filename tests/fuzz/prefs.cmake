# The fixed block of the preferences file, alone and read from a file with a tracker block after it.
quenvol_add_fuzzer(fuzz_prefs ${CMAKE_CURRENT_LIST_DIR}/prefs.cpp
  ${PROJECT_SOURCE_DIR}/client/core/UMyPrefsFile.cpp LIBS quenvol_files)
