# `cpack -G DEB` in a build folder makes melvo_<version>_<arch>.deb from what `cmake --install` lays out.
set(CPACK_PACKAGE_NAME melvo)
set(CPACK_PACKAGE_VENDOR "The Melvo developers")
set(CPACK_PACKAGE_CONTACT "The Melvo developers <support@melvo.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "music player, audio CD ripper and tag editor")
set(CPACK_PACKAGE_DESCRIPTION "Melvo plays MP3 and WAV files and audio CDs on an LCD-like display, keeps a \
playlist, rips audio CD tracks to WAV or MP3, looks up CD titles in freedb and edits ID3 tags.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://melvo.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the real binaries; our own components lie in the program folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}/bin")
# Loaded at run time, so no binary names them: the window system plug-in and the MP3 encoder.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libmp3lame0, xdg-utils")
include(CPack)
