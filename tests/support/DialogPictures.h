// The block types whose dialogs show each transform page, and the picture
// names the Qt and Windows screenshot runs give them, so both sets match.
#pragma once

struct PagePicture {
  const char* type;
  const char* file;
};

inline constexpr PagePicture kTransformPagePictures[] = {
    {"Square", "none"},
    {"Blackman trans", "blackman"},
    {"Kaiser trans", "kaiser"},
    {"Hann trans", "windowing"},
    {"FFT of CCS using RCPack/RCPerm", "fft-flags"},
    {"Goertzel DFT", "goertzel"},
    {"Down Sample", "sampling"},
    {"Auto Correlation", "correlation"},
    {"Bit-Reversed", "bit-reversed"},
    {"Inverse Thresh", "thresh"},
    {"OneDim Convolution", "convolution"},
    {"Filters_Group", "firs-group"},
    {"Low-Level IIR", "iirs"},
    {"Low-Level LMS", "lmss"},
    {"Forward User trans", "users-transform"},
    {"Any Func", "users-func"},
    {"Addition/Substraction", "add-sub"},
    {"Multiply/Division", "mpy-div"},
};
