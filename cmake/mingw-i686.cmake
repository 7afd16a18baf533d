# Cross-compiling for i686 Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# SSE2 scalar arithmetic: float and double results as on x86-64, without the
# x87 stack's excess precision (long double stays on the x87 unit).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
