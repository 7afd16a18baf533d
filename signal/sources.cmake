# The sources of NSPPX, the signal-processing library; the Linux and the Windows builds both read this list.
set(signal_sources
  ${CMAKE_CURRENT_LIST_DIR}/Exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fft.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fir.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Goertzel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Iir.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Lms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StateTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Vector.cpp)
