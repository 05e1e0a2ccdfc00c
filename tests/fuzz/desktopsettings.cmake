# The desktop settings file: "key=value" lines that anybody may have edited.
quenvol_add_fuzzer(fuzz_desktopsettings ${CMAKE_CURRENT_LIST_DIR}/desktopsettings.cpp
  ${PROJECT_SOURCE_DIR}/client/core/UMyDesktopSettings.cpp LIBS quenvol_files)
