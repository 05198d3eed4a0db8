# The Debian package (`./kit package`: cpack -G DEB in build/ gives
# build/kestrin_VERSION_ARCH.deb). It installs the same tree as
# `cmake --install` below /usr; dpkg-shlibdeps finds the libraries the
# programs link, the rest is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrin)
set(CPACK_PACKAGE_VENDOR "vazkit")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kit maintainers <service@vazkit.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Optical mark reader test and service kit")
set(CPACK_PACKAGE_DESCRIPTION "The workstation kestrin, the device link library libvaz with its headers and
pkg-config file, the command-line client vazctl, the virtual reader vazsim,
the cloud exam client libskelvin and the loopback exam service, and a udev
rule that gives the user at the seat access to the reader on USB.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A shlibs file, so that packages of host programs linked with libvaz or
# libskelvin depend on this one.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# Loaded at run time, so dpkg-shlibdeps cannot see them: the Qt platform
# plugins, the CJK font the texts need and the Chinese standard buttons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pkg-config, gcc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
