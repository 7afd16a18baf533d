# The sources of the generator block; the Linux and the Windows builds both read this list.
set(generators_sources
  ${CMAKE_CURRENT_LIST_DIR}/GeneratorWaveforms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Geners.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RandomSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SamplesAhead.cpp)
