# The message a later start hands over to the running client: the parser only, which needs neither Qt nor
# a socket.
quenvol_add_fuzzer(fuzz_handoff ${CMAKE_CURRENT_LIST_DIR}/handoff.cpp ${CMAKE_SOURCE_DIR}/platform/HandOffMessage.cpp)
target_include_directories(fuzz_handoff PRIVATE ${CMAKE_SOURCE_DIR})
