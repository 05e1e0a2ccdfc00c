# Checks what `cmake --install` lays out (run by CTest as InstallLayout): the programs, the data file, the
# launcher, the icons, the bookmark type, the AppStream description and the manual pages. The desktop's
# own checkers run when they are installed: desktop-file-validate, appstreamcli, update-mime-database,
# update-desktop-database with xdg-mime, and groff for the manual pages.
# Usage: cmake -DBUILD=<build folder> -DPREFIX=<scratch folder> -P CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT BUILD OR NOT PREFIX)
  message(FATAL_ERROR "BUILD and PREFIX must be set")
endif()

set(failures "")
macro(fail text)
  list(APPEND failures "${text}")
endmacro()

# Runs a checker; a non-zero status or anything it says on its error output is a failure.
function(run_checker what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    set(failures "${failures};${what} failed (${status}): ${out}${err}" PARENT_SCOPE)
  endif()
endfunction()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE status
                OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(app org.quenvol.Quenvol)
set(share ${PREFIX}/share)
# The programs are run below, which also tells whether they are executable.
foreach(program quenvol quenvol-server)
  if(NOT EXISTS ${PREFIX}/bin/${program})
    fail("bin/${program} is missing")
  endif()
endforeach()
foreach(item quenvol/quenvol.dat applications/${app}.desktop metainfo/${app}.metainfo.xml
             mime/packages/${app}.xml man/man1/quenvol.1 man/man1/quenvol-server.1
             icons/hicolor/scalable/apps/${app}.svg)
  if(NOT EXISTS ${share}/${item})
    fail("share/${item} is missing")
  endif()
endforeach()

# Each bitmap icon is as large as the folder it sits in says: a PNG gives its width and height as two
# big-endian 32-bit numbers from byte 16.
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${share}/icons/hicolor/${size}x${size}/apps/${app}.png)
  if(NOT EXISTS ${png})
    fail("the ${size}x${size} icon is missing")
    continue()
  endif()
  file(READ ${png} header HEX OFFSET 16 LIMIT 8)
  math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${expected}" 2 -1 digits)
  string(LENGTH "${digits}" n)
  math(EXPR pad "8 - ${n}")
  string(REPEAT "0" ${pad} zeros)
  if(NOT header STREQUAL "${zeros}${digits}${zeros}${digits}")
    fail("the ${size}x${size} icon has the header ${header}")
  endif()
endforeach()

# The data file is found from the installed program: the one that starts is the one that was built.
execute_process(COMMAND ${PREFIX}/bin/quenvol --version RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "^quenvol [0-9]")
  fail("quenvol --version said \"${out}\" (${status})")
endif()
execute_process(COMMAND ${PREFIX}/bin/quenvol --help RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "Usage: quenvol")
  fail("quenvol --help said \"${out}\" (${status})")
endif()

# What the launcher promises the desktop (read as text, since its lines hold semicolons).
if(EXISTS ${share}/applications/${app}.desktop)
  file(READ ${share}/applications/${app}.desktop launcher)
  foreach(rule "MimeType=[^\n]*x-scheme-handler/quenvol\;" "MimeType=[^\n]*application/x-quenvol-bookmark\;"
               "StartupWMClass=quenvol\n" "Exec=quenvol %U\n" "Icon=${app}\n")
    if(NOT "\n${launcher}" MATCHES "\n${rule}")
      fail("the launcher has no line matching ${rule}")
    endif()
  endforeach()
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  run_checker("desktop-file-validate" ${DESKTOP_FILE_VALIDATE} ${share}/applications/${app}.desktop)
else()
  message(STATUS "desktop-file-validate is not installed: the launcher was not validated")
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  run_checker("appstreamcli validate" ${APPSTREAMCLI} validate --no-net ${share}/metainfo/${app}.metainfo.xml)
else()
  message(STATUS "appstreamcli is not installed: the metainfo was not validated")
endif()

# The bookmark type compiles into the desktop's type database, by name (either case) and by content.
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
  run_checker("update-mime-database" ${UPDATE_MIME_DATABASE} ${share}/mime)
  if(NOT EXISTS ${share}/mime/application/x-quenvol-bookmark.xml)
    fail("update-mime-database made no application/x-quenvol-bookmark")
  endif()
  if(EXISTS ${share}/mime/globs2)
    file(STRINGS ${share}/mime/globs2 globs REGEX "x-quenvol-bookmark")
    if(NOT globs MATCHES "\\*\\.qbm")
      fail("the type database has no *.qbm pattern: ${globs}")
    endif()
    if(globs MATCHES ":cs")
      fail("the *.qbm pattern is case-sensitive: ${globs}")
    endif()
  endif()
  if(EXISTS ${share}/mime/magic)
    # The compiled rules are binary: only their printable runs are read.
    file(STRINGS ${share}/mime/magic magic REGEX "x-quenvol-bookmark|QVsc")
    if(NOT magic MATCHES "x-quenvol-bookmark" OR NOT magic MATCHES "QVsc")
      fail("the type database has no content rule for bookmarks")
    endif()
  endif()
else()
  message(STATUS "update-mime-database is not installed: the bookmark type was not compiled")
endif()

# quenvol:// links open the installed launcher once the desktop's cache knows it.
find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
find_program(XDG_MIME xdg-mime)
if(UPDATE_DESKTOP_DATABASE AND XDG_MIME)
  run_checker("update-desktop-database" ${UPDATE_DESKTOP_DATABASE} ${share}/applications)
  file(MAKE_DIRECTORY ${PREFIX}/home-data ${PREFIX}/home-config)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_DIRS=${share} XDG_DATA_HOME=${PREFIX}/home-data
            XDG_CONFIG_HOME=${PREFIX}/home-config XDG_CONFIG_DIRS=${PREFIX}/home-config
            --unset=XDG_CURRENT_DESKTOP --unset=DESKTOP_SESSION --unset=KDE_FULL_SESSION
            --unset=GNOME_DESKTOP_SESSION_ID ${XDG_MIME} query default x-scheme-handler/quenvol
    RESULT_VARIABLE status OUTPUT_VARIABLE handler ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT handler STREQUAL "${app}.desktop")
    fail("xdg-mime names \"${handler}\" for quenvol:// links (${status}${err})")
  endif()
else()
  message(STATUS "update-desktop-database or xdg-mime is not installed: the link handler was not checked")
endif()

# The manual pages format without a warning.
find_program(GROFF groff)
if(GROFF)
  foreach(page quenvol quenvol-server)
    execute_process(COMMAND ${GROFF} -man -ww -z ${share}/man/man1/${page}.1 RESULT_VARIABLE status
                    ERROR_VARIABLE err)
    if(NOT status EQUAL 0 OR err)
      fail("groff finds fault with ${page}(1): ${err}")
    endif()
  endforeach()
else()
  message(STATUS "groff is not installed: the manual pages were not formatted")
endif()

list(FILTER failures EXCLUDE REGEX "^$")
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "The installed layout is wrong:\n  ${text}")
endif()
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "The installed layout holds in ${PREFIX}")
