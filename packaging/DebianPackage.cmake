# The Debian package tirvon-b: the program directory /opt/tirvon, the desktop
# entries and the icon. Made from a built tree with `cpack -G DEB`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tirvon-b)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TIRVON")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "TIRVON-B ATM alarm monitoring station and configurator")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "The monitoring station vartel drives a GSM modem, turns the SMS reports of the\n"
    "TIRVON-B alarm controllers into events and sends them commands. The configurator\n"
    "config edits the objects, rules, settings, operators and log tables. Both keep\n"
    "their files in the program directory /opt/tirvon, shared by the operators of\n"
    "the group tirvon.")
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/tirvon)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "TIRVON desk software <desk@tirvon.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tirvon.invalid/")

# Libraries the binaries link come from dpkg-shlibdeps when it is installed
# (dpkg-dev); the Qt platform plugins, the GStreamer plugins that play the sounds
# and a font with Cyrillic glyphs are loaded at run time, so no linker sees them.
set(TIRVON_RUNTIME_DEPENDS
    qt6-qpa-plugins gstreamer1.0-plugins-base gstreamer1.0-plugins-good fonts-dejavu-core)
find_program(TIRVON_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TIRVON_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    message(STATUS "dpkg-shlibdeps not found (dpkg-dev): the package lists its libraries by hand")
    list(PREPEND TIRVON_RUNTIME_DEPENDS
        libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6multimedia6
        libqt6printsupport6 libshp2 libstdc++6 libc6)
endif()
list(JOIN TIRVON_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

# postinst gives the program directory to the group tirvon; postrm leaves the
# operators' files alone. Strict permissions make both 0755 in the package.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/debian/postinst
    ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
