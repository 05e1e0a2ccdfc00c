# Checks that every source includes only what its layer may (run by CTest as LayerIncludes). The layers
# and what each may include, lowest first:
#   platform/                       platform
#   framework/runtime/              platform, runtime
#   framework/net/, framework/files/ platform, runtime, themselves
#   framework/ui/                   platform, runtime, ui
#   client/core/                    the framework without framework/ui, the core
#   client/widgets/, client/boxes/  the framework, the core's records, each other
#   client/app/                     everything in client/: it is the front the features meet at
#   client/<feature>/               the framework, the core, app, widgets, boxes and itself, never another
#                                   feature
# Usage: cmake -DROOT=<source tree> -P CheckIncludes.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()

set(FRAMEWORK "platform;framework/runtime;framework/net;framework/files;framework/ui")
set(ALLOWED_platform "platform")
set(ALLOWED_framework/runtime "platform;framework/runtime")
set(ALLOWED_framework/net "platform;framework/runtime;framework/net")
set(ALLOWED_framework/files "platform;framework/runtime;framework/files")
set(ALLOWED_framework/ui "platform;framework/runtime;framework/ui")
set(ALLOWED_client/core "platform;framework/runtime;framework/net;framework/files;client/core")
set(ALLOWED_client/widgets "${FRAMEWORK};client/core;client/widgets;client/boxes")
set(ALLOWED_client/boxes "${FRAMEWORK};client/core;client/widgets;client/boxes")
# What every feature folder may include besides itself.
set(FEATURE_ALLOWED "${FRAMEWORK};client/core;client/app;client/widgets;client/boxes")

set(violations "")
file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/platform/*.h ${ROOT}/platform/*.cpp ${ROOT}/framework/*.h
     ${ROOT}/framework/*.cpp ${ROOT}/client/*.h ${ROOT}/client/*.cpp)
foreach(source IN LISTS sources)
  string(REGEX MATCH "^(platform|framework/[a-z]+|client/[a-z]+)" layer "${source}")
  if(layer STREQUAL "client/app")
    continue()
  endif()
  if(DEFINED ALLOWED_${layer})
    set(allowed ${ALLOWED_${layer}})
  elseif(layer MATCHES "^client/")
    set(allowed ${FEATURE_ALLOWED} ${layer})
  else()
    list(APPEND violations "${source} is in no layer")
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^#include \"(platform|framework|client)/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    string(REGEX MATCH "^(platform|framework/[a-z]+|client/[a-z]+)" target "${included}")
    if(NOT target IN_LIST allowed)
      list(APPEND violations "${source} includes ${included}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Include rules broken:\n  ${text}")
endif()
message(STATUS "Include rules hold for ${ROOT}")
