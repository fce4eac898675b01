# `cpack` in the build folder: the installed tree as a Debian package, and as a
# portable .tar.gz that runs from wherever it is unpacked.
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_NAME tessellane)
set(CPACK_PACKAGE_CONTACT "Tessellane maintainers <maintainers@users.noreply.c-seed-57d9afca.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sprite editor for Sega Genesis ROM images")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# CPack puts the summary above this as the package's one-line synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessellane opens a Sega Genesis (Mega Drive) cartridge ROM, recognises the
game from its header through a game database and lists the game's sprites.
A sprite's 8x8 tiles are shown enlarged beside its 16-colour palette, to be
painted and written back into the ROM in place; Nemesis-compressed sprites
are unpacked for editing and packed again on saving.
.
The command-line companion tessellane-cli identifies ROMs, exports and
imports sprites as images, checks game databases and corrects the header
checksum. A small demo game is included.")
# Library dependencies come from dpkg-shlibdeps; the windowing plugins are
# loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
