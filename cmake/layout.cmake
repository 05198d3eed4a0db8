# Where the kit installs (GNUInstallDirs) and what its targets share for it:
#   KIT_INSTALL_RPATH  RUNPATH of an installed program: $ORIGIN/<bin to lib>
#   kit_version        interface target with kit_version.h (KIT_VERSION)
#   kit_program(T)     installs program T into bin with KIT_INSTALL_RPATH
# The programs find their shared data in <program folder>/../share/kestrin
# (vazplatform/shipped_data.h, the workstation's FileLocations), so bin and
# the data folder must stay siblings.
include(GNUInstallDirs)

if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATADIR STREQUAL "share")
  message(FATAL_ERROR "the programs look for their data in ../share/kestrin: keep "
                      "CMAKE_INSTALL_BINDIR=bin and CMAKE_INSTALL_DATADIR=share")
endif()
file(RELATIVE_PATH kit_bin_to_lib /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_LIBDIR})
set(KIT_INSTALL_RPATH "\$ORIGIN/${kit_bin_to_lib}")

configure_file(${CMAKE_CURRENT_LIST_DIR}/kit_version.h.in ${CMAKE_BINARY_DIR}/generated/kit_version.h @ONLY)
add_library(kit_version INTERFACE)
target_include_directories(kit_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# RUNPATH (not RPATH), so that LD_LIBRARY_PATH still comes first.
function(kit_program target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${KIT_INSTALL_RPATH}")
  target_link_options(${target} PRIVATE "LINKER:--enable-new-dtags")
  target_link_libraries(${target} PRIVATE kit_version)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# A shared library of the kit: versioned file name and SONAME lib<name>.so.MAJOR.
function(kit_shared_library target)
  set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  install(TARGETS ${target} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()
