# Lays out the program folder of the build tree: data files next to the executables and the
# external tools under the names the program starts them by. The installation gets the same.

function(quorvane_find_tool var program package)
    find_program(${var} ${program} PATHS /usr/bin /usr/local/bin)
    if(NOT ${var})
        message(FATAL_ERROR "'${program}' was not found: install the Debian package '${package}' "
                            "(scripts/dev.sh does it from debian-packages.txt).")
    endif()
endfunction()

quorvane_find_tool(QUORVANE_LAME lame lame)
quorvane_find_tool(QUORVANE_FFMPEG ffmpeg ffmpeg)
quorvane_find_tool(QUORVANE_SOUNDSTRETCH soundstretch soundstretch)

# Tool name in the program folder -> the system's program.
set(QUORVANE_TOOLS
    "lame.exe=${QUORVANE_LAME}"
    "ffmpeg.exe=${QUORVANE_FFMPEG}"
    "soundstretch.exe=${QUORVANE_SOUNDSTRETCH}")

foreach(entry IN LISTS QUORVANE_TOOLS)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 name)
    list(GET pair 1 target)
    file(CREATE_LINK ${target} ${QUORVANE_PROGRAM_DIR}/${name} SYMBOLIC)
    # An installed link is relative to the program folder it is installed in (as Debian wants
    # links within /usr): it holds in a package's tree as well as in the installed system.
    install(CODE "set(folder \"\${CMAKE_INSTALL_PREFIX}/${QUORVANE_INSTALL_DIR}\")
                  file(RELATIVE_PATH relative \"\${folder}\" \"${target}\")
                  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${folder}\")
                  file(CREATE_LINK \"\${relative}\" \"\$ENV{DESTDIR}\${folder}/${name}\" SYMBOLIC)")
endforeach()

set(QUORVANE_VERSION_TEXT ${PROJECT_VERSION})
configure_file(${PROJECT_SOURCE_DIR}/data/ver.ini.in ${QUORVANE_PROGRAM_DIR}/ver.ini @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/data/Language.ini ${QUORVANE_PROGRAM_DIR}/Language.ini COPYONLY)
# The program rewrites Program.ini at every start, so the build keeps the file it finds.
if(NOT EXISTS ${QUORVANE_PROGRAM_DIR}/Program.ini)
    configure_file(${PROJECT_SOURCE_DIR}/data/Program.ini ${QUORVANE_PROGRAM_DIR}/Program.ini COPYONLY)
endif()

install(FILES ${QUORVANE_PROGRAM_DIR}/ver.ini ${QUORVANE_PROGRAM_DIR}/Language.ini
              ${PROJECT_SOURCE_DIR}/data/Program.ini
        DESTINATION ${QUORVANE_INSTALL_DIR})
# One launcher per program in the bin folder; each finds the program folder relative to itself.
file(RELATIVE_PATH QUORVANE_LAUNCHER_TO_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${QUORVANE_INSTALL_DIR})
foreach(QUORVANE_LAUNCHED quorvane quorvane-batch)
    configure_file(${PROJECT_SOURCE_DIR}/data/quorvane.sh.in
                   ${CMAKE_BINARY_DIR}/launcher/${QUORVANE_LAUNCHED} @ONLY)
    install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/${QUORVANE_LAUNCHED}
            DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/quorvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/quorvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
