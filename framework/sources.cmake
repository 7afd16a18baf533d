# The block framework's sources common to every platform; the Linux and the
# Windows builds both read this list and add their own dialog launcher from
# dialogs/launcher/.
set(framework_sources
  ${CMAKE_CURRENT_LIST_DIR}/BaseExtModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BlockCatalogue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BlockPorts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HostServices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HostLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ValueBits.cpp)
