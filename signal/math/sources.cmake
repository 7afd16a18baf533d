# The math layer's sources; the Linux and the Windows builds both read this list.
set(math_sources
  ${CMAKE_CURRENT_LIST_DIR}/ExpLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Reduce.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SinCos.cpp)
