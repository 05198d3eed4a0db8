# What the kit installs beside its programs and libraries (each target
# installs itself where it is defined: kit_program, kit_shared_library), and
# the Debian package that `./kit package` makes from the same rules.
#
#   bin/                        kestrin vazctl vazsim exam-service
#   lib/                        libvaz.so.1 libskelvin.so.1 (+ .so links), pkgconfig/vaz.pc skelvin.pc
#   lib/udev/rules.d/           70-vaz-reader.rules
#   include/                    vaz.h vaz_exports.h vaz_host_hooks.h skelvin.h
#   share/kestrin/              config.ini formats/ decks/
#   share/applications/         kestrin.desktop
#   share/icons/hicolor/NxN/apps/kestrin.png
#   share/man/man1/             kestrin.1 vazctl.1 vazsim.1
#   share/doc/kestrin/          README.md, the picture, the virtual reader's and the projects' notes

set(kit_packaging ${PROJECT_SOURCE_DIR}/packaging)

install(FILES include/vaz.h include/vaz_exports.h include/vaz_host_hooks.h include/skelvin.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# The pc files name the prefix the kit is installed into (cmake --install
# --prefix, or /usr in the package), so they are written at install time.
foreach(pc vaz skelvin)
  install(CODE "
    set(KIT_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(CMAKE_INSTALL_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
    set(CMAKE_INSTALL_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
    set(PROJECT_VERSION \"${PROJECT_VERSION}\")
    configure_file(\"${kit_packaging}/${pc}.pc.in\" \"${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc\" @ONLY)")
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

# lib/udev/rules.d below the prefix: /usr/lib/udev/rules.d in the package.
set(KIT_INSTALL_UDEVRULESDIR "lib/udev/rules.d" CACHE STRING "Folder of udev rules, below the prefix")
install(FILES platform/udev/70-vaz-reader.rules DESTINATION ${KIT_INSTALL_UDEVRULESDIR})

install(FILES ${kit_packaging}/man/kestrin.1 ${kit_packaging}/man/vazctl.1 ${kit_packaging}/man/vazsim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(kit_docdir ${CMAKE_INSTALL_DATADIR}/doc/kestrin)
install(FILES README.md DESTINATION ${kit_docdir})
install(FILES docs/kestrin.png DESTINATION ${kit_docdir}/docs)
install(FILES simulator/README.md DESTINATION ${kit_docdir} RENAME vazsim.md)
install(FILES workstation/projects/README.md DESTINATION ${kit_docdir} RENAME projects.md)

if(TARGET kestrin)
  install(FILES ${kit_packaging}/kestrin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/share/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)

if(BUILD_TESTING)
  add_subdirectory(packaging/tests)
endif()
