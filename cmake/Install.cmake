# Where `cmake --install` and the Debian packages put things. The program and everything it
# reads (pictures, sound, styles) share one folder, as in the build; a link in bin/ starts it.
include(GNUInstallDirs)
set(KW_APP_ID example.kugelwerk.Kugelwerk)
set(KW_INSTALL_PROGRAM_DIR lib/kugelwerk)
set(KW_INSTALL_SERVER_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kugelwerk-update-server)
# Nothing to build for an install: the targets it needs are built by name (scripts/kugelwerk
# package), and a package must not wait for every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

# The installed program folder carries no write bits (see below); an install over an earlier one
# must be able to replace its files.
install(CODE [[
    set(kw_dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/kugelwerk")
    if(IS_DIRECTORY "${kw_dir}")
        file(CHMOD "${kw_dir}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
             GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
]] COMPONENT program)

# The rest runs after the targets exist (called at the end of the root CMakeLists.txt).
macro(kw_install_program)
    install(TARGETS Kugelwerk RUNTIME DESTINATION ${KW_INSTALL_PROGRAM_DIR} COMPONENT program)
    install(CODE [[
        set(kw_dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/kugelwerk")
        file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
        file(CREATE_LINK ../lib/kugelwerk/Kugelwerk "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/kugelwerk" SYMBOLIC)
        # Read-only for everybody, root included: the program then keeps the history and the
        # settings in the user's data folder instead of beside itself, and removing the
        # package leaves nothing behind in the program folder.
        file(CHMOD "${kw_dir}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
             WORLD_READ WORLD_EXECUTE)
    ]] COMPONENT program)

    configure_file(${CMAKE_SOURCE_DIR}/assets/desktop/${KW_APP_ID}.desktop.in
                   ${CMAKE_BINARY_DIR}/desktop/${KW_APP_ID}.desktop @ONLY)
    configure_file(${CMAKE_SOURCE_DIR}/assets/desktop/${KW_APP_ID}.metainfo.xml.in
                   ${CMAKE_BINARY_DIR}/desktop/${KW_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/desktop/${KW_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
    install(FILES ${CMAKE_BINARY_DIR}/desktop/${KW_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT program)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
            COMPONENT program)

    install(TARGETS kugelwerk-update-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT server)
    install(TARGETS make_demo_draws RUNTIME DESTINATION lib/kugelwerk-update-server COMPONENT server)
    install(FILES ${CMAKE_SOURCE_DIR}/server/demo-draws-SYNTHETIC.txt DESTINATION ${KW_INSTALL_SERVER_DATA_DIR}
            COMPONENT server)
endmacro()
