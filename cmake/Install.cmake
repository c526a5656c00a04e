# Installation in the layout of a Debian program, and its Debian package.
#
#   PREFIX/lib/quorvel/                 the program directory: both executables, the PNG
#                                       painter library of the command line, the device
#                                       list, help text, diagrams and the sample Defs
#   PREFIX/bin/quorvel                  links to the executables, so that both are on PATH
#   PREFIX/bin/quorvel-config
#   PREFIX/share/applications/          the desktop entry
#   PREFIX/share/icons/hicolor/...      the icon
#
# The executables find their data beside their own resolved path, so the links on PATH
# need no configuration.

set(QUORVEL_INSTALL_PROGRAM_DIR "lib/quorvel"
    CACHE STRING "Program directory below the installation prefix")

set(QUORVEL_INSTALLED_EXECUTABLES quorvel)
if(QUORVEL_BUILD_GUI)
    list(APPEND QUORVEL_INSTALLED_EXECUTABLES Quorvel_Configuration)
endif()
install(TARGETS ${QUORVEL_INSTALLED_EXECUTABLES}
        RUNTIME DESTINATION ${QUORVEL_INSTALL_PROGRAM_DIR} COMPONENT program)
# quorvel loads it from its own directory when it writes a PNG.
install(TARGETS quorvel_png LIBRARY DESTINATION ${QUORVEL_INSTALL_PROGRAM_DIR} COMPONENT program)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${QUORVEL_INSTALL_PROGRAM_DIR}
        COMPONENT program)

# Relative links, so that the tree works wherever it is unpacked.
function(quorvel_install_link executable name)
    install(CODE "
        set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
        file(MAKE_DIRECTORY \"\${bin}\")
        file(CREATE_LINK ../${QUORVEL_INSTALL_PROGRAM_DIR}/${executable} \"\${bin}/${name}\" SYMBOLIC)
    " COMPONENT program)
endfunction()
quorvel_install_link(quorvel quorvel)

if(QUORVEL_BUILD_GUI)
    quorvel_install_link(Quorvel_Configuration quorvel-config)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/quorvel-config.desktop
            DESTINATION share/applications COMPONENT program)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/quorvel-config.svg
            DESTINATION share/icons/hicolor/scalable/apps COMPONENT program)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorvel Config developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "clock configuration of PIC, dsPIC and PIC32 microcontrollers")
set(CPACK_PACKAGE_DESCRIPTION
    "Pick a device, click its clock diagram to choose configuration bits and register \
bit-fields, read the resulting frequencies and copy the register initialisation code. \
Includes the command line quorvel for build scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL program)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvel Config developers <quorvel@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the executables link (Qt among them) become the package's dependencies; the
# toolkit's platform plugins (the window's, and the off-screen one that draws PNGs) and the
# font of the value boxes are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
include(CPack)
