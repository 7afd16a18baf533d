# The sources of the element-wise, buffer and filter blocks and their kernels; the Linux and the Windows builds both read this list.
set(transforms_sources
  ${CMAKE_CURRENT_LIST_DIR}/BufferKernels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BufferTransforms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilterKernels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilterTrans.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimpleTrans.cpp)
