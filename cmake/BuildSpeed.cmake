# Precompiled headers for what reads Qt Widgets. A window's source reads some 140,000 lines of Qt after
# the preprocessor, and a window test's as many again with the test framework: in the sanitizer build that
# was a third of the compile time of those sources. The headers are compiled once and every source of the
# targets that read them starts from there. Sources below the window toolkit read far less; for them
# loading a precompiled header costs as much as it saves, so they read their headers as they are.
#
# A source must still include what it uses: builds configured with -DQUENVOL_PCH=OFF, and the fuzz build,
# read every source without them.
option(QUENVOL_PCH "Precompile the Qt Widgets and test framework headers the windows and their tests read" ON)
if(QUENVOL_FUZZ)
  set(QUENVOL_PCH OFF)
endif()

set(QUENVOL_PCH_HEADERS
    <algorithm> <cstdint> <cstring> <functional> <memory> <string> <vector> <QAbstractScrollArea>
    <QApplication> <QEvent> <QFont> <QImage> <QKeyEvent> <QLabel> <QLineEdit> <QMimeData> <QObject>
    <QPainter> <QPalette> <QPlainTextEdit> <QPushButton> <QString> <QTimer> <QWidget>)

# quenvol_precompile_headers(target [TEST] [REUSE_FROM other])
# For a target that links Qt Widgets. TEST adds the test framework and Qt Test. REUSE_FROM takes the headers
# another target precompiled, which is right only when both compile with the same options and include
# folders, and with the same definitions as far as the headers look at them (the compiler warns that it
# cannot use them otherwise, and then reads the headers itself).
function(quenvol_precompile_headers target)
  cmake_parse_arguments(P "TEST" "REUSE_FROM" "" ${ARGN})
  if(NOT QUENVOL_PCH)
    return()
  endif()
  if(P_REUSE_FROM)
    target_precompile_headers(${target} REUSE_FROM ${P_REUSE_FROM})
    return()
  endif()
  set(headers ${QUENVOL_PCH_HEADERS})
  if(P_TEST)
    list(APPEND headers <QTest> <gtest/gtest.h>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
