# Checks the include rules of the source tree (run by CTest as LayerIncludes):
# - a layer includes only itself and the layers below it;
# - client/widgets and client/boxes include only each other and the framework;
# - a feature folder of client/ never includes another feature folder's windows or views (features
#   meet through the application object in client/app and the shared folders).
# Usage: cmake -DROOT=<source tree> -P CheckIncludes.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()

# What each layer may include, lowest first. client/app may include every client folder.
set(ALLOWED_platform "platform")
set(ALLOWED_framework/runtime "platform;framework/runtime")
set(ALLOWED_framework/net "platform;framework/runtime;framework/net")
set(ALLOWED_framework/files "platform;framework/runtime;framework/files")
set(ALLOWED_framework/ui "platform;framework/runtime;framework/ui")
set(FRAMEWORK "platform;framework/runtime;framework/net;framework/files;framework/ui")
set(SHARED "client/widgets;client/boxes")

set(violations "")
file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/platform/*.h ${ROOT}/platform/*.cpp ${ROOT}/framework/*.h
     ${ROOT}/framework/*.cpp ${ROOT}/client/*.h ${ROOT}/client/*.cpp)
foreach(source IN LISTS sources)
  string(REGEX MATCH "^(platform|framework/[a-z]+|client/[a-z]+|client)" layer "${source}")
  file(STRINGS ${ROOT}/${source} includes REGEX "^#include \"(platform|framework|client)/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    string(REGEX MATCH "^(platform|framework/[a-z]+|client/[a-z]+)" target "${included}")
    get_filename_component(name "${included}" NAME)
    set(ok FALSE)
    if(DEFINED ALLOWED_${layer})
      if(target IN_LIST ALLOWED_${layer})
        set(ok TRUE)
      endif()
    elseif(layer STREQUAL "client/widgets" OR layer STREQUAL "client/boxes")
      if(target IN_LIST FRAMEWORK OR target IN_LIST SHARED)
        set(ok TRUE)
      endif()
    elseif(layer STREQUAL "client/app" OR layer STREQUAL "client")
      set(ok TRUE)
    else()
      # A feature folder: the framework, the shared folders, the application object, itself, and what
      # other features offer that is not a window or a view (their tasks and records).
      if(target IN_LIST FRAMEWORK OR target IN_LIST SHARED OR target STREQUAL "client/app" OR target STREQUAL layer)
        set(ok TRUE)
      elseif(NOT name MATCHES "(Win|View)\\.h$")
        set(ok TRUE)
      endif()
    endif()
    if(NOT ok)
      list(APPEND violations "${source} includes ${included}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Include rules broken:\n  ${text}")
endif()
message(STATUS "Include rules hold for ${ROOT}")
