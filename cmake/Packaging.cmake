# The Debian package: cmake --build build --target package (or cpack in build).
# Runtime dependencies come from the program's shared libraries
# (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillpad)
set(CPACK_PACKAGE_VENDOR "Quillpad")
set(CPACK_PACKAGE_CONTACT "Quillpad developers <quillpad@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quillpad Basic, a plain-text editor for web and program sources")
set(CPACK_PACKAGE_DESCRIPTION
    "Many documents in one frame window, 8-bit files with CR LF line ends, Insert menus of HTML, CSS and C++ fragments, templates with markup tags, snip tools and a quick scan.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
