# The Debian package (scripts/package-deb.sh): what `cmake --install` installs, under /usr, with the
# dependencies dpkg-shlibdeps reads from the binaries rather than a list kept by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR Kestrel)
set(CPACK_PACKAGE_CONTACT "Kestrel developers <kestrel@kestrel.invalid>" CACHE STRING "The package's maintainer")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "editor and viewer for the BIG archives of C&C Generals, Zero Hour and BFME")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrel browses the BIG archives of C&C Generals, Zero Hour and The Battle for Middle-earth, \
extracts and replaces entries, builds mod archives, edits the games' INI files with structure help \
and previews textures and W3D models. kestrel-big does the same work in scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt Multimedia loads GStreamer's plugins at run time to play MP3 entries; dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS bash-completion)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTREL_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
