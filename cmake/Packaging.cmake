# `cpack` in the build folder makes a Debian package of what `cmake --install` lays out, with its
# run-time dependencies computed from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenvol)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quenvol developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop client for Quenvol servers")
set(CPACK_PACKAGE_DESCRIPTION
    "Chat in public and private, exchange private messages, read and post news, browse folders and\ndownload and upload files and whole folders on Quenvol servers; trackers list public servers.\nIncludes quenvol-server, a small local server for trying the client.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quenvol developers <developers@quenvol.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES TRUE)
# Qt loads these as plugins, so the linker's view misses them: the windowing system and an image
# reader for the icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Recommended rather than required: without the Wayland plugin the client still runs on a Wayland
# session, through the X11 compatibility layer, so a system without it loses nothing it had.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, desktop-file-utils, shared-mime-info")
include(CPack)
