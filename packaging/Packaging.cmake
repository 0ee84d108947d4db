# `cmake --install` puts the two programs where a desktop finds them: the window with its menu
# entry, its file type for *.fls and its icon, the command line with a manual page made from
# its own --help. `cpack -G DEB` makes a Debian package of the same files.
include(GNUInstallDirs)

install(TARGETS brivant-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# brivant-cli finds its picture module by the way from bin/ to this folder.
if(TARGET brivant_pictures)
  install(TARGETS brivant_pictures LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/brivant-pro)
  file(RELATIVE_PATH pictures_dir /prefix/${CMAKE_INSTALL_BINDIR}
       /prefix/${CMAKE_INSTALL_LIBDIR}/brivant-pro)
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/cli/PictureModule.cpp APPEND PROPERTY
               COMPILE_DEFINITIONS BRIVANT_PICTURE_MODULE_DIR="${pictures_dir}")
endif()
if(TARGET brivant)
  install(TARGETS brivant RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/brivant.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/brivant-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME brivant.xml)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/brivant.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The manual page follows the options the program really has, so it is made from the built
# program at build time rather than kept by hand. Debian wants manual pages compressed, and
# -n keeps the time stamp out so that two builds give the same bytes.
find_program(BRIVANT_HELP2MAN help2man)
find_program(BRIVANT_GZIP gzip)
if(BRIVANT_HELP2MAN AND BRIVANT_GZIP)
  set(man ${CMAKE_CURRENT_BINARY_DIR}/brivant-cli.1)
  add_custom_command(
    OUTPUT ${man}.gz
    COMMAND ${BRIVANT_HELP2MAN} --no-info --version-string=${PROJECT_VERSION}
            "--name=inspect and edit phone flash images"
            --include=${CMAKE_CURRENT_LIST_DIR}/brivant-cli.h2m --output=${man}
            $<TARGET_FILE:brivant-cli>
    COMMAND ${BRIVANT_GZIP} -9nf ${man}
    DEPENDS brivant-cli ${CMAKE_CURRENT_LIST_DIR}/brivant-cli.h2m
    COMMENT "Making the brivant-cli manual page"
    VERBATIM)
  add_custom_target(brivant-cli-man ALL DEPENDS ${man}.gz)
  install(FILES ${man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: brivant-cli's manual page is not made "
                 "(scripts/install-deps.sh installs help2man)")
endif()

set(CPACK_PACKAGE_NAME brivant-pro)
set(CPACK_PACKAGE_VENDOR "Brivant Pro developers")
set(CPACK_PACKAGE_CONTACT "Brivant Pro developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the flash images of older mobile phones")
set(CPACK_PACKAGE_DESCRIPTION
    "Brivant Pro opens a phone's flash image (*.fls), changes its ringtones, alert tones,\n\
languages, operator table, menu tree, bitmaps and animations, applies code patches,\n\
moves free space between the MCU and PPM areas and saves it with repaired checksums.\n\
brivant-cli runs the same commands from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_STRIP_FILES ON)
# The dependencies come from the libraries the built programs really load, with the lowest
# versions that provide the symbols they use; a hand-kept list would drift from the link
# lines. Without dpkg-shlibdeps (package dpkg-dev) the runtime libraries are named by hand,
# without versions.
find_program(BRIVANT_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(BRIVANT_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  message(STATUS "dpkg-shlibdeps not found: the .deb names its Qt dependencies without "
                 "versions (scripts/install-deps.sh installs dpkg-dev)")
  set(deps libc6 libstdc++6)
  if(TARGET brivant_platform)
    list(APPEND deps libqt6core6 libqt6gui6 libgif7)
  endif()
  if(TARGET brivant)
    list(APPEND deps libqt6widgets6)
  endif()
  list(REMOVE_DUPLICATES deps)
  string(REPLACE ";" ", " CPACK_DEBIAN_PACKAGE_DEPENDS "${deps}")
endif()
include(CPack)
