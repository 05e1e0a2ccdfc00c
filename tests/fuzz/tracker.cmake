# The tracker listing stream, its server records and the search over them, and the tracker block of the
# preferences. The client folder is not built for fuzzing (it needs Qt Widgets), so the few sources that
# read these bytes are compiled in directly; none of them uses Qt.
set(QUENVOL_TRACKER_DIR ${CMAKE_SOURCE_DIR}/client/tracker)
set(QUENVOL_CORE_DIR ${CMAKE_SOURCE_DIR}/client/core)
quenvol_add_fuzzer(fuzz_tracker ${CMAKE_CURRENT_LIST_DIR}/fuzz_tracker.cpp
  ${QUENVOL_CORE_DIR}/CMyTrackerStream.cpp ${QUENVOL_CORE_DIR}/UMyTrackerWire.cpp
  ${QUENVOL_TRACKER_DIR}/UMyTrackerSearch.cpp LIBS quenvol_runtime)
quenvol_add_fuzzer(fuzz_trackerprefs ${CMAKE_CURRENT_LIST_DIR}/fuzz_trackerprefs.cpp
  ${QUENVOL_CORE_DIR}/UMyTrackerPrefs.cpp LIBS quenvol_runtime)
