# Installation and the Debian package (cpack -G DEB; tools/package.sh).
# Every destination is relative, so that the package lays it out under /usr:
# bin/rir-eda, the plug-in folder lib/rir-eda/ (the simulator and the Python
# module find it relative to themselves), the module in Debian's
# dist-packages, examples, guide and man page under share/.
install(TARGETS rir-eda RUNTIME DESTINATION bin)
install(TARGETS rir_eda LIBRARY DESTINATION ${RIR_INSTALL_PLUGIN_DIR})
install(TARGETS NSPPX LIBRARY DESTINATION ${RIR_INSTALL_PLUGIN_DIR}/NSPdllS)
if(RIR_WITH_DIALOGS)
  install(TARGETS rir_eda_dialogs LIBRARY DESTINATION ${RIR_INSTALL_PLUGIN_DIR})
  install(FILES ${PROJECT_SOURCE_DIR}/dialogs/help/Geners.htm ${PROJECT_SOURCE_DIR}/dialogs/help/Windowin.htm
                ${PROJECT_SOURCE_DIR}/dialogs/help/Triangle.htm
          DESTINATION ${RIR_INSTALL_PLUGIN_DIR})
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION share/rir-eda/examples
        FILES_MATCHING PATTERN "*.toml" PATTERN "*.wav" PATTERN "*.ipynb" PATTERN "README.md")
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/README.md
              ${PROJECT_SOURCE_DIR}/cmake/debian/copyright DESTINATION share/doc/rir-eda)

# The man page, written by the simulator from its own command-line definitions.
set(man ${CMAKE_BINARY_DIR}/man/rir-eda.1.gz)
add_custom_command(OUTPUT ${man}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND $<TARGET_FILE:rir-eda> --man-page | gzip -9n > ${man}
  DEPENDS rir-eda VERBATIM)
add_custom_target(rir_eda_man ALL DEPENDS ${man})
install(FILES ${man} DESTINATION share/man/man1)

# The package rir-eda is the install component "main"; CPack makes one .deb
# per component once there are several (rir-eda-gnuradio). The settings below
# are then the defaults of every component, which each overrides with its own
# CPACK_DEBIAN_<COMPONENT>_* (name, file name, depends); the control scripts
# serve every package that installs Python files.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_PACKAGE_NAME rir-eda)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Rir_Eda maintainers <rir-eda@localhost>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_MAIN_PACKAGE_NAME rir-eda)
set(CPACK_DEBIAN_MAIN_FILE_NAME "rir-eda_${PROJECT_VERSION}_amd64.deb")
set(CPACK_COMPONENT_MAIN_DESCRIPTION "bit-accurate DSP block library, its simulator rir-eda and Python module
Rir_Eda is a plug-in library of fixed-point signal-processing blocks for a
circuit-simulation host. This package holds the simulator rir-eda, the plug-in
folder (librir_eda.so, NSPdllS/NSPPX.so, the Qt dialog module), the Python
module rir_eda, the examples, the user's guide and a man page.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "rir-eda_${PROJECT_VERSION}_amd64.deb")
set(CPACK_DEBIAN_MAIN_PACKAGE_NAME rir-eda)
set(CPACK_DEBIAN_MAIN_FILE_NAME ${CPACK_DEBIAN_FILE_NAME})
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Shared libraries by dpkg-shlibdeps; the interpreter, numpy and gnuplot (the
# plots) by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3 (>= 3.11), python3 (<< 3.12), python3-numpy, gnuplot-nox | gnuplot")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gtkwave, python3-scipy, python3-matplotlib, python3-distributed")
# The module's byte code is made at install and removed with the package.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/postinst
    ${PROJECT_SOURCE_DIR}/cmake/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The package builds from this tree and holds what the installed programs look for.
if(RIR_WITH_TESTS AND RIR_WITH_PYTHON AND RIR_WITH_DIALOGS AND NOT RIR_SANITIZE AND NOT RIR_WITH_FUZZ)
  add_test(NAME package_deb
    COMMAND sh -c "${CMAKE_CPACK_COMMAND} -G DEB -B ${CMAKE_BINARY_DIR}/package >/dev/null && bash ${PROJECT_SOURCE_DIR}/tools/check-deb.sh ${CMAKE_BINARY_DIR}/package/${CPACK_DEBIAN_MAIN_FILE_NAME}"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(package_deb PROPERTIES TIMEOUT 600)
endif()
