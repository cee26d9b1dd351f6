# Runs when installing. The desktop entry names the program by the path it is installed at, known only
# now (cmake --install --prefix can change it), and the desktop is told about the new file type and
# program so that file managers open .vlm files with Velmora.

set(VELMORA_INSTALLED_EXECUTABLE "${CMAKE_INSTALL_PREFIX}/${VELMORA_BINDIR}/velmora")
configure_file("${VELMORA_SOURCE_DIR}/packaging/velmora.desktop.in" "${VELMORA_BINARY_DIR}/velmora.desktop" @ONLY)
file(INSTALL "${VELMORA_BINARY_DIR}/velmora.desktop"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELMORA_DATADIR}/applications")

# Packages leave the caches to the system's own triggers; DESTDIR is set then.
if(DEFINED ENV{DESTDIR} AND NOT "$ENV{DESTDIR}" STREQUAL "")
    return()
endif()
set(data "${CMAKE_INSTALL_PREFIX}/${VELMORA_DATADIR}")
find_program(update_mime update-mime-database)
if(update_mime)
    execute_process(COMMAND "${update_mime}" "${data}/mime" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(WARNING "update-mime-database ${data}/mime failed: ${result}")
    endif()
endif()
find_program(update_desktop update-desktop-database)
if(update_desktop)
    # It notes on its own when the folder is outside the desktop's search path; that is no failure.
    execute_process(COMMAND "${update_desktop}" -q "${data}/applications" OUTPUT_QUIET ERROR_QUIET)
endif()
