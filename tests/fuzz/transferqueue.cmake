# The transfer queue file: records of unfinished transfers, left on the disk by any earlier run.
quenvol_add_fuzzer(fuzz_transferqueue ${CMAKE_CURRENT_LIST_DIR}/transferqueue.cpp
  ${PROJECT_SOURCE_DIR}/client/core/UMyTransferQueueFile.cpp LIBS quenvol_files)
