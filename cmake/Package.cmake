# Two Debian packages from the install rules: `kugelwerk` (the program, menu entry, icons,
# metadata) and `kugelwerk-update-server` (the server and its demo data). `cpack -G DEB` in the
# build folder makes them; scripts/kugelwerk package does that after building what they hold.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kugelwerk)
set(CPACK_PACKAGE_VENDOR Kugelwerk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kugelwerk <support@kugelwerk.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# The build keeps its debug information; the packages do not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL program server)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.kugelwerk.example/")
# The libraries' packages come from the binaries themselves (dpkg-shlibdeps); what is loaded at
# run time as a plugin is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME kugelwerk)
# One string each: the first line is the package's summary, the rest its description.
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "Tip generator for the lottery game Set for Life
Keeps the history of all draws, brings it up to date from an update server, shows
statistics and charts, and generates up to 96 tips from a weighted number pool that pass
the filters you set. Tips can be kept, edited and checked against any past draw.")
# The window system's platform plugin, and the sound backend of the win sound.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-dejavu-core")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SUGGESTS "kugelwerk-update-server")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME kugelwerk-update-server)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "Update server for the Kugelwerk tip generator
Serves the draws of a data file over HTTP in the form the program asks for, with a
synthetic demo data file (random draws, not real results) and its generator.")
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)

include(CPack)
