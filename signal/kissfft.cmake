# KissFFT from Debian's source package (tools/fetch-kissfft.sh), compiled the
# same way in the Linux and the Windows builds: float scalars, twiddle
# factors from the math layer. Defines kissfft_sources, kissfft_definitions,
# kissfft_options; RIR_KISSFFT_DIR names the unpacked source.
set(kissfft_sources ${RIR_KISSFFT_DIR}/kiss_fft.c ${RIR_KISSFFT_DIR}/kiss_fftr.c)
set(kissfft_definitions kiss_fft_scalar=float)
set(kissfft_options -w -include ${CMAKE_CURRENT_LIST_DIR}/math/KissTwiddles.h)
