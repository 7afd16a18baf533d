# GNU Radio: the module rir_eda.gr beside the Python module, one GNU Radio
# Companion block description per block type (build/grc/, generated from the
# plug-in's catalogue), their checks and examples, and the install component
# "gnuradio" that becomes the Debian package rir-eda-gnuradio. Built only
# when GNU Radio is found for the module's interpreter; without it nothing
# else changes.
option(RIR_WITH_GNURADIO "Build the GNU Radio module and GRC blocks when GNU Radio is found" ON)
if(NOT RIR_WITH_GNURADIO OR NOT TARGET rir_eda_python)
  return()
endif()
execute_process(COMMAND ${Python3_EXECUTABLE} -c "from gnuradio import gr; print(gr.version())"
  OUTPUT_VARIABLE RIR_GNURADIO_VERSION OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE gnuradio_status ERROR_QUIET)
find_program(RIR_GRCC grcc)
if(NOT gnuradio_status EQUAL 0 OR NOT RIR_GRCC)
  message(STATUS "GNU Radio not found for ${Python3_EXECUTABLE}: rir_eda.gr and the GRC blocks are left out")
  return()
endif()
message(STATUS "GNU Radio ${RIR_GNURADIO_VERSION}: building rir_eda.gr and the GRC blocks")

set(gr_source ${PROJECT_SOURCE_DIR}/python/gnuradio_blocks)
set(gr_module ${CMAKE_BINARY_DIR}/python/rir_eda/gr.py)
set(RIR_GRC_DIR ${CMAKE_BINARY_DIR}/grc)
add_custom_command(OUTPUT ${gr_module}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${gr_source}/gr.py ${gr_module}
  DEPENDS ${gr_source}/gr.py rir_eda_python)
add_custom_command(OUTPUT ${RIR_GRC_DIR}/blocks.stamp
  COMMAND ${CMAKE_COMMAND} -E env PYTHONPATH=${CMAKE_BINARY_DIR}/python
    ${Python3_EXECUTABLE} ${gr_source}/make_grc_blocks.py ${RIR_GRC_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${RIR_GRC_DIR}/blocks.stamp
  DEPENDS ${gr_source}/make_grc_blocks.py rir_eda_python ${gr_module}
  COMMENT "GNU Radio Companion blocks from the catalogue")
add_custom_target(rir_eda_gnuradio ALL DEPENDS ${gr_module} ${RIR_GRC_DIR}/blocks.stamp)

install(FILES ${gr_source}/gr.py DESTINATION lib/python3/dist-packages/rir_eda COMPONENT gnuradio)
install(DIRECTORY ${RIR_GRC_DIR}/ DESTINATION share/gnuradio/grc/blocks COMPONENT gnuradio
        FILES_MATCHING PATTERN "*.block.yml")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/gnuradio/ DESTINATION share/rir-eda/examples/gnuradio
        COMPONENT gnuradio FILES_MATCHING PATTERN "*.grc")

set(CPACK_DEBIAN_GNURADIO_PACKAGE_NAME rir-eda-gnuradio)
set(CPACK_DEBIAN_GNURADIO_FILE_NAME "rir-eda-gnuradio_${PROJECT_VERSION}_all.deb")
set(CPACK_DEBIAN_GNURADIO_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_GNURADIO_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_GNURADIO_PACKAGE_DEPENDS "rir-eda (= ${PROJECT_VERSION}), gnuradio (>= 3.10)")
set(CPACK_COMPONENT_GNURADIO_DESCRIPTION "Rir_Eda's bit-exact blocks in GNU Radio and GNU Radio Companion
The module rir_eda.gr makes a GNU Radio block of every Rir_Eda block type,
computing bit for bit what the rir-eda simulator computes, and the GNU Radio
Companion finds every type under the category Rir_Eda.")

if(RIR_WITH_TESTS)
  # package_deb (cmake/Packaging.cmake, included later) makes both packages;
  # this checks the second when that test exists.
  function(rir_check_gnuradio_package)
    if(TEST package_deb)
      add_test(NAME package_deb_gnuradio
        COMMAND bash ${PROJECT_SOURCE_DIR}/tools/check-deb-gnuradio.sh
          ${CMAKE_BINARY_DIR}/package/${CPACK_DEBIAN_GNURADIO_FILE_NAME} ${RIR_GRC_DIR})
      set_tests_properties(package_deb_gnuradio PROPERTIES DEPENDS package_deb)
    endif()
  endfunction()
  cmake_language(DEFER CALL rir_check_gnuradio_package)
  add_test(NAME gnuradio_blocks
    COMMAND ${Python3_EXECUTABLE} -m pytest -q -p no:cacheprovider ${gr_source}/tests
      --grc-blocks ${RIR_GRC_DIR})
  set_tests_properties(gnuradio_blocks PROPERTIES ENVIRONMENT "PYTHONPATH=${CMAKE_BINARY_DIR}/python" TIMEOUT 300)
  # Each example compiles with grcc and runs to its end.
  file(GLOB examples CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/gnuradio/*.grc)
  foreach(grc ${examples})
    get_filename_component(name ${grc} NAME_WE)
    add_test(NAME gnuradio_example_${name}
      COMMAND ${Python3_EXECUTABLE} ${gr_source}/run_flowgraph.py ${grc} ${CMAKE_CURRENT_BINARY_DIR}/gnuradio/${name}
        --data ${PROJECT_SOURCE_DIR}/examples/data)
    set_tests_properties(gnuradio_example_${name} PROPERTIES TIMEOUT 300
      ENVIRONMENT "PYTHONPATH=${CMAKE_BINARY_DIR}/python;GRC_BLOCKS_PATH=${RIR_GRC_DIR}")
  endforeach()
endif()
