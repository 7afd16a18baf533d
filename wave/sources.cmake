# The sources of the WAVE format, the WAVE file and the wave block; the Linux
# and the Windows builds both read this list.
set(wave_sources
  ${CMAKE_CURRENT_LIST_DIR}/format/WaveFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WAVES_IO.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Wave_fileIO.cpp)
