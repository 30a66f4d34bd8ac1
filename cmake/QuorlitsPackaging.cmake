# SPDX-License-Identifier: GPL-3.0-or-later
# `cpack -G DEB` in a build folder makes a Debian package that installs like any desktop program.
set(CPACK_PACKAGE_NAME quorlits)
set(CPACK_PACKAGE_VENDOR "Quorlits")
set(CPACK_PACKAGE_CONTACT "Quorlits <info@quorlits.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's German texts for the file dialogs and standard buttons.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_STRIP_FILES ON)
include(CPack)
