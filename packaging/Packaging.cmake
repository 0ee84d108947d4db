# `cmake --install` puts the two programs where a desktop and a shell find them: the window
# with its menu entry, its file type for *.fls, its icon and its AppStream metainfo, the
# command line with its shell completions, both with manual pages. `cpack -G DEB` makes a
# Debian package of the same files.
include(GNUInstallDirs)

install(TARGETS brivant-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# brivant-cli finds its picture module by the way from bin/ to this folder. A folder of the
# program's own, not a direct subfolder of lib/: there the package tools would take the
# module for a shared library and run ldconfig on every install and removal.
set(BRIVANT_MODULE_DIR lib/brivant-pro/modules)
if(TARGET brivant_pictures)
  install(TARGETS brivant_pictures LIBRARY DESTINATION ${BRIVANT_MODULE_DIR})
  file(RELATIVE_PATH pictures_dir /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${BRIVANT_MODULE_DIR})
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
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/invalid.brivant.brivantpro.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
# What lintian says of the programs' texts that is not so (packaging/lintian-overrides).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME brivant-pro)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brivant-pro)

# The date the generated files carry (BRIVANT_EPOCH, from SourceDate.cmake).
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${BRIVANT_EPOCH})
string(TIMESTAMP BRIVANT_DATE "%Y-%m-%d" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")

# Manual pages and completions are written from the command table by a small program built
# beside brivant-cli, so they can never fall behind the commands. Debian wants manual pages
# and changelogs compressed; -n keeps the time stamp out.
find_program(BRIVANT_GZIP gzip REQUIRED)
set(docs ${CMAKE_BINARY_DIR}/docs)
set(generated ${docs}/brivant-cli.1 ${docs}/brivant.1 ${docs}/brivant-cli.bash
              ${docs}/_brivant-cli)
add_custom_command(
  OUTPUT ${generated} ${docs}/brivant-cli.1.gz ${docs}/brivant.1.gz ${docs}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${docs}
  COMMAND brivant-cli-docs ${PROJECT_VERSION} ${BRIVANT_DATE} ${docs}
  COMMAND ${BRIVANT_GZIP} -9nkf ${docs}/brivant-cli.1 ${docs}/brivant.1
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/changelog ${docs}/changelog
  COMMAND ${BRIVANT_GZIP} -9nf ${docs}/changelog
  DEPENDS brivant-cli-docs ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Writing the manual pages and shell completions"
  VERBATIM)
add_custom_target(brivant-docs ALL DEPENDS ${generated})
install(FILES ${docs}/brivant-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET brivant)
  install(FILES ${docs}/brivant.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${docs}/brivant-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME brivant-cli)
install(FILES ${docs}/_brivant-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${docs}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brivant-pro)

# The compiler's version notes (.comment) serve no one at run time; the package goes without.
if(CMAKE_OBJCOPY)
  set(elf_files ${CMAKE_INSTALL_BINDIR}/brivant-cli)
  if(TARGET brivant)
    list(APPEND elf_files ${CMAKE_INSTALL_BINDIR}/brivant)
  endif()
  if(TARGET brivant_pictures)
    list(APPEND elf_files ${BRIVANT_MODULE_DIR}/$<TARGET_FILE_NAME:brivant_pictures>)
  endif()
  install(CODE "
    foreach(f ${elf_files})
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${f}\"
                      RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR \"objcopy could not drop .comment from \${f}\")
      endif()
    endforeach()")
endif()

set(CPACK_PACKAGE_NAME brivant-pro)
set(CPACK_PACKAGE_VENDOR "Brivant Pro developers")
set(CPACK_PACKAGE_CONTACT "Brivant Pro developers <maintainers@brivant.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brivant Pro developers <maintainers@brivant.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the flash images of older mobile phones")
set(CPACK_PACKAGE_DESCRIPTION
    "Brivant Pro opens a phone's flash image (*.fls), changes its ringtones,\n\
alert tones, languages, operator table, menu tree, bitmaps and animations,\n\
applies code patches, moves free space between the MCU and PPM areas and\n\
saves it with repaired checksums. brivant-cli runs the same commands from\n\
the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_STRIP_FILES ON)
# The package's dates are those of the commit, whoever builds it and when.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
     "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n  set(ENV{SOURCE_DATE_EPOCH} ${BRIVANT_EPOCH})\nendif()\n")
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
