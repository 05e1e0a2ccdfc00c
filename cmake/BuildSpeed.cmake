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
