# Helpers for what `cmake --install` puts beside the programs.
include(GNUInstallDirs)
# Folders made on the way are 0755 whatever the umask, as a package needs them.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# velnor_gzip(FILE): FILE.gz beside FILE, compressed as Debian wants manual
# pages and changelogs: best compression, no name and no time stamp inside.
function(velnor_gzip file)
    execute_process(COMMAND gzip -9nc ${file} OUTPUT_FILE ${file}.gz COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# velnor_manual(PAGE): the section 1 manual page PAGE, made from PAGE.in with
# the project's version.
function(velnor_manual page)
    configure_file(${page}.in ${CMAKE_CURRENT_BINARY_DIR}/${page} @ONLY)
    velnor_gzip(${CMAKE_CURRENT_BINARY_DIR}/${page})
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
