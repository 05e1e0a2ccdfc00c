# Precompiled headers. A window's source reads some 140,000 lines of Qt after the preprocessor, and a test's
# source as many again with the test framework: in the sanitizer build that was a third of their compile
# time. The headers are compiled once and every source of the targets that read them starts from there.
# Sources of the layers below the window toolkit read far less; for them loading a precompiled header costs
# about as much as it saves, so they read their headers as they are.
#
# A source must still include what it uses: builds configured with -DQUENVOL_PCH=OFF, and the fuzz build,
# read every source without them.
option(QUENVOL_PCH "Precompile the Qt and test framework headers that windows and tests read" ON)
if(QUENVOL_FUZZ)
  set(QUENVOL_PCH OFF)
endif()

set(QUENVOL_PCH_HEADERS_core <algorithm> <cstdint> <cstring> <functional> <memory> <string> <vector> <QObject>
                             <QString> <QTimer>)
set(QUENVOL_PCH_HEADERS_widgets
    ${QUENVOL_PCH_HEADERS_core} <QAbstractScrollArea> <QApplication> <QEvent> <QFont> <QImage> <QKeyEvent>
    <QLabel> <QLineEdit> <QMimeData> <QPainter> <QPalette> <QPlainTextEdit> <QPushButton> <QWidget>)

# quenvol_precompile_headers(target core|widgets [TEST])
# quenvol_precompile_headers(target REUSE_FROM other)
# core: the standard library and Qt Core; widgets: and Qt Widgets, for a target that links them. TEST adds
# the test framework (and Qt Test with widgets). REUSE_FROM takes the headers another target precompiled,
# which is right only when both compile with the same options and include folders, and with the same
# definitions as far as the headers look at them (the compiler warns that it cannot use them otherwise, and
# then reads the headers itself).
function(quenvol_precompile_headers target)
  cmake_parse_arguments(P "TEST" "REUSE_FROM" "" ${ARGN})
  if(NOT QUENVOL_PCH)
    return()
  endif()
  if(P_REUSE_FROM)
    target_precompile_headers(${target} REUSE_FROM ${P_REUSE_FROM})
    return()
  endif()
  set(set ${P_UNPARSED_ARGUMENTS})
  if(NOT set STREQUAL "core" AND NOT set STREQUAL "widgets")
    message(FATAL_ERROR "quenvol_precompile_headers(${target}): say core or widgets")
  endif()
  set(headers ${QUENVOL_PCH_HEADERS_${set}})
  if(P_TEST)
    if(set STREQUAL "widgets")
      list(APPEND headers <QTest>)
    endif()
    list(APPEND headers <gtest/gtest.h>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# Unity build: each library and test program compiles its sources in batches, one compiler run per batch, so
# the headers that every source reads, and the inline code they bring, are compiled once per batch instead
# of once per source. A build from scratch (the test command's) takes far less time this way; a build that
# follows an edit recompiles the whole batch of the edited source, so development builds leave it off.
# File-local names (anonymous namespaces, static functions and constants) must therefore differ between
# the sources of one target: a clash fails only the unity build, so scripts/test.sh turns it on.
option(QUENVOL_UNITY "Compile the sources of each target in batches (a faster build from scratch)" OFF)
set(CMAKE_UNITY_BUILD ${QUENVOL_UNITY})
set(CMAKE_UNITY_BUILD_BATCH_SIZE 8)
if(QUENVOL_UNITY AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # g++ takes a source included into a batch for a header, and a header's type that holds a file-local
  # type is a fault there (every source that includes the header gets a type of its own). A batch is
  # compiled once, so the warning says nothing about it.
  add_compile_options(-Wno-subobject-linkage)
endif()

# The linker. The test programs each link the whole client with sanitizers, some 120 MB apiece; the LLVM
# linker does that several times faster than the default one and with far less reading and writing. Any
# linker makes the same programs, so it is taken wherever it is installed.
option(QUENVOL_LLD "Link with the LLVM linker (ld.lld) when it is installed" ON)
if(QUENVOL_LLD)
  find_program(QUENVOL_LLD_PROGRAM ld.lld)
  if(QUENVOL_LLD_PROGRAM)
    add_link_options(-fuse-ld=lld)
  endif()
endif()
