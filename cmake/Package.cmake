# What an installation adds for the desktop and the shell (man pages, bash completion, AppStream
# metadata) and the Debian package made from the installation by `cpack -G DEB`.

set(QUORVANE_APP_ID com.dornevik.Quorvane)

# Man pages go in compressed, as Debian installs them.
set(man_pages)
foreach(page quorvane quorvane-batch)
    set(compressed ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/man/${page}.1 > ${compressed}
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page}.1
        COMMENT "Compressing the man page of ${page}")
    list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(qvr_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# An installation gets stripped programs (27 MB of debugging data otherwise); a developer who
# wants them installs with -DQUORVANE_INSTALL_STRIPPED=OFF. `cmake --install --strip` strips
# whatever this says.
option(QUORVANE_INSTALL_STRIPPED "cmake --install strips the programs" ON)
if(QUORVANE_INSTALL_STRIPPED)
    install(CODE "if(NOT DEFINED CMAKE_INSTALL_DO_STRIP)
                      set(CMAKE_INSTALL_DO_STRIP 1)
                  endif()")
endif()

# The package's version, and its copyright file and changelog where Debian keeps them.
set(QUORVANE_DEBIAN_RELEASE 1)
set(QUORVANE_PACKAGE_VERSION ${PROJECT_VERSION}-${QUORVANE_DEBIAN_RELEASE})
set(QUORVANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quorvane)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog
               @ONLY)
set(changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/debian/changelog > ${changelog}
    DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
    COMMENT "Compressing the changelog")
add_custom_target(qvr_package_docs ALL DEPENDS ${changelog})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${changelog}
        DESTINATION ${QUORVANE_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quorvane)

install(FILES ${PROJECT_SOURCE_DIR}/data/completion/quorvane-batch
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/data/${QUORVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR Dornevik)
set(CPACK_PACKAGE_CONTACT "Dornevik <support@dornevik.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Debian's lines are at most 80 characters wide.
set(CPACK_PACKAGE_DESCRIPTION
    "Re-tunes MP3, WAV, FLAC, AIFF, AAC and M4A files and audio CDs to one of ten\n\
target frequencies, in a window (quorvane) or from a terminal (quorvane-batch).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QUORVANE_DEBIAN_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.dornevik.example/)
# The libraries the programs link come from dpkg-shlibdeps; the tools the programs start and the
# window's platform plugin are named here, since no library link reveals them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "lame, ffmpeg, soundstretch, xdg-utils, qt6-qpa-plugins, qt6-translations-l10n")
# The completion of quorvane-batch works where bash-completion loads it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
include(CPack)
