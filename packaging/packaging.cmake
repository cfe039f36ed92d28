# What an installation holds, and the packages made of it with CPack: on Linux a Debian package
# (programs in /usr/bin, help pages, translations, icon, menu entry, manual pages in English and
# French, README, copyright file, changelog, lintian's overrides), for Windows a zip with both
# programs, the help pages, the translations, the samples, the README and every licence.

# The README with the pictures it shows, in the folder pictures go in beside it, so that a README
# read where it is installed shows no picture that is missing. The pictures are those it links.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
function(varnex_install_readme destination)
  install(FILES README.md DESTINATION ${destination})
  file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
  # Matched without the "]" before them: a bracket would keep CMake from splitting the list.
  string(REGEX MATCHALL "\\(resources/[^)]+\\.png\\)" links "${readme}")
  foreach(link IN LISTS links)
    string(REGEX MATCH "resources/[^)]+" picture "${link}")
    install(FILES ${picture} DESTINATION ${destination}/resources)
  endforeach()
endfunction()

if(WIN32)
  set(VARNEX_DOC_DIR .)
  install(TARGETS varnex-cli RUNTIME DESTINATION .)
  if(TARGET varnex)
    install(TARGETS varnex RUNTIME DESTINATION .)
  endif()
  install(FILES resources/converter.htm resources/converter-en.htm DESTINATION .)
  # The programs look for the compiled catalogs in "locale" beside them.
  install(DIRECTORY ${VARNEX_LOCALE_DIR}/ DESTINATION locale)
  varnex_install_readme(.)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  install(FILES samples/knight_ref.smd samples/runner_ref.smd samples/runner_walk.smd
          DESTINATION samples)
  # What is linked in statically brings its notices along: wxWidgets (kept beside its build),
  # the mingw-w64 runtime and winpthreads, the GCC runtime libraries, zlib.
  if(wxWidgets_CONFIG_EXECUTABLE)
    get_filename_component(wx_prefix ${wxWidgets_CONFIG_EXECUTABLE} DIRECTORY)
    get_filename_component(wx_prefix ${wx_prefix} DIRECTORY)
    install(FILES ${wx_prefix}/wxWidgets-licence.txt ${wx_prefix}/wxWidgets-lgpl.txt
            DESTINATION licences OPTIONAL)
  endif()
  set(notices
    "/usr/share/doc/mingw-w64-common/copyright=mingw-w64-runtime.txt"
    "/usr/share/doc/gcc-mingw-w64-base/copyright=gcc-runtime.txt"
    "/usr/share/doc/libz-mingw-w64/copyright=zlib.txt")
  foreach(notice IN LISTS notices)
    string(REPLACE "=" ";" pair ${notice})
    list(GET pair 0 from)
    list(GET pair 1 to)
    if(EXISTS ${from})
      install(FILES ${from} DESTINATION licences RENAME ${to})
    endif()
  endforeach()

  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME varnex-${PROJECT_VERSION}-win64)
  else()
    set(CPACK_PACKAGE_FILE_NAME varnex-${PROJECT_VERSION}-win32)
  endif()
else()
  include(GNUInstallDirs)
  install(TARGETS varnex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(TARGET varnex)
    install(TARGETS varnex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES packaging/varnex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES resources/varnex_32.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps
            RENAME varnex.xpm)
  endif()
  # The programs look for it in <prefix>/share/varnex beside <prefix>/bin.
  install(FILES resources/converter.htm resources/converter-en.htm
          DESTINATION ${CMAKE_INSTALL_DATADIR}/varnex)
  # and for the compiled catalogs in <prefix>/share/locale.
  install(DIRECTORY ${VARNEX_LOCALE_DIR}/ DESTINATION ${CMAKE_INSTALL_LOCALEDIR})
  install(FILES samples/knight_ref.smd samples/runner_ref.smd samples/runner_walk.smd
          DESTINATION ${CMAKE_INSTALL_DATADIR}/varnex/samples)
  install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/varnex)
  varnex_install_readme(${CMAKE_INSTALL_DATADIR}/doc/varnex)
  # The manual pages, compressed, English in man1 and the others in <language>/man1: varnex-cli's
  # written from its --help in each language, the window's from pages written by hand.
  set(man_pages "")
  function(varnex_man_page program language)
    if(language STREQUAL "en")
      set(folder man1)
    else()
      set(folder ${language}/man1)
    endif()
    set(page ${PROJECT_BINARY_DIR}/man/${folder}/${program}.1.gz)
    if(program STREQUAL "varnex-cli")
      set(catalog "")
      if(EXISTS ${PROJECT_SOURCE_DIR}/po/${language}.po)
        set(catalog ${PROJECT_SOURCE_DIR}/po/${language}.po)
      endif()
      add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -DGENERATOR=$<TARGET_FILE:varnex-man-page>
                -DCLI=$<TARGET_FILE:varnex-cli> -DLANGUAGE=${language}
                "-DSOURCE=Varnex ${PROJECT_VERSION}" -DDATE=${VARNEX_MAN_DATE} -DOUT=${page}
                -P ${PROJECT_SOURCE_DIR}/packaging/write_man_page.cmake
        DEPENDS varnex-cli varnex-man-page varnex_catalogs ${catalog}
                packaging/write_man_page.cmake
        COMMENT "Writing the manual page man/${folder}/${program}.1 from --help"
        VERBATIM)
    else()
      add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -DGENERATOR=$<TARGET_FILE:varnex-man-page>
                -DPAGE=${PROJECT_SOURCE_DIR}/packaging/${program}.${language}.1 -DOUT=${page}
                -P ${PROJECT_SOURCE_DIR}/packaging/write_man_page.cmake
        DEPENDS varnex-man-page packaging/${program}.${language}.1 packaging/write_man_page.cmake
        VERBATIM)
    endif()
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/${folder})
    set(man_pages ${man_pages} ${page} PARENT_SCOPE)
  endfunction()
  # The page's date: SOURCE_DATE_EPOCH's when it is set (tools/package.sh sets the last commit's),
  # so that two builds of one commit write the same page.
  string(TIMESTAMP VARNEX_MAN_DATE "%Y-%m-%d" UTC)
  foreach(language fr en)
    varnex_man_page(varnex-cli ${language})
    if(TARGET varnex)
      varnex_man_page(varnex ${language})
    endif()
  endforeach()
  add_custom_target(varnex-man ALL DEPENDS ${man_pages})

  # Packaged apart from the sources (a Debian revision, -1), hence changelog.Debian.gz; dated
  # like the manual pages.
  set(VARNEX_DEB_RELEASE 1)
  set(VARNEX_DEB_VERSION ${PROJECT_VERSION}-${VARNEX_DEB_RELEASE})
  string(TIMESTAMP VARNEX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file(packaging/changelog.Debian.in changelog.Debian @ONLY)
  add_custom_command(OUTPUT changelog.Debian.gz
    COMMAND gzip -9 -n -c changelog.Debian > changelog.Debian.gz
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian VERBATIM)
  add_custom_target(varnex-changelog ALL DEPENDS changelog.Debian.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/varnex)
  # Each tag lintian would give and why it does not apply, a line each.
  install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME varnex)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_RELEASE ${VARNEX_DEB_RELEASE})
  # No mail address: see packaging/lintian-overrides.
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Varnex developers")
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  # The libraries the programs link (wxWidgets, the C++ runtime) become the package's dependencies.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

set(CPACK_PACKAGE_NAME varnex)
set(CPACK_PACKAGE_VENDOR "The Varnex developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Carries Half-Life SMD animations from one biped skeleton to another")
# Lines of at most 80 characters, as a package's description is shown.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Varnex retargets a Half-Life skeletal animation (SMD) made for one biped"
  "skeleton onto a model's skeleton: it pairs the nodes by biped bone name, scales"
  "positions by the ratio of bone lengths and copies rotations, and writes an"
  "animation SMD ready for the model compiler (studiomdl). A grid shows which node"
  "drives which, and can be edited and kept in conversion files (.con)."
  "It comes as a window (varnex) and as a command-line tool for batch work"
  "(varnex-cli), in French and English.")
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)
include(CPack)
