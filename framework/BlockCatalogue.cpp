#include "BlockCatalogue.h"

#include "Errors.h"

const GeneratorKindRow kGeneratorKinds[kGeneratorKindCount] = {
    {"Func", "Geners.htm#Func"},
    {"Sine", "Geners.htm#Sine"},
    {"ModSine", "Geners.htm#ModSine"},
    {"Random", "Geners.htm#Random"},
    {"Constant", "Geners.htm#Constant"},
    {"Tone", "Geners.htm#Tone"},
    {"Triangle", "Triangle.htm"},
    {"PseudoRandom", "Geners.htm#PseudoRandom"},
    {"Gaussian", "Geners.htm#Gaussian"},
    {"Blackman", "Windowin.htm#WinBlackman"},
    {"Kaiser", "Windowin.htm#WinKaiser"},
    {"Bartlett", "Windowin.htm#WinBartlett"},
    {"Hann", "Windowin.htm#WinHann"},
    {"Hamming", "Windowin.htm#WinHamming"},
    {"BlackmanStd", "Windowin.htm#WinBlackmanStd"},
    {"BlackmanOpt", "Windowin.htm#WinBlackmanOpt"},
    {"All_in_One", "Geners.htm#Main"},
};

namespace {

const char* const kCatalogue[kCatalogueSize] = {
    "E to the power",                   // 1
    "Natural Log",                      // 2
    "Any Func",                         // 3
    "Bit-Reversed",                     // 4
    "Blackman trans",                   // 5
    "Kaiser trans",                     // 6
    "Bartlett trans",                   // 7
    "Hann trans",                       // 8
    "Hamming trans",                    // 9
    "BlackmanStd trans",                // 10
    "BlackmanOpt trans",                // 11
    "High-Level FIR",                   // 12
    "Low-Level FIR",                    // 13
    "High-Level IIR",                   // 14
    "Low-Level IIR",                    // 15
    "High-Level LMS",                   // 16
    "High-Level LMS DES",               // 17
    "Low-Level LMS",                    // 18
    "Low-Level LMS Na",                 // 19
    "Up Sample",                        // 20
    "Down Sample",                      // 21
    "Auto Correlation",                 // 22
    "Cross Correlation",                // 23
    "Simple Conjugation",               // 24
    "Flip Conjugation",                 // 25
    "Extended Conjugation",             // 26
    "OneDim Convolution",               // 27
    "TwoDim Convolution",               // 28
    "Filter 2D",                        // 29
    "Absolute Value",                   // 30
    "Square",                           // 31
    "Square Root",                      // 32
    "Thresh",                           // 33
    "Inverse Thresh",                   // 34
    "Addition/Substraction",            // 35
    "Multiply/Division",                // 36
    "",                                 // 37
    "",                                 // 38
    "",                                 // 39
    "Discrete Fourier Transform",       // 40
    "Fast Fourier Transform",           // 41
    "FFT using RCPack/RCPerm",          // 42
    "FFT of CCS using RCPack/RCPerm",   // 43
    "FFT of real signal",               // 44
    "FFT of CCS signal",                // 45
    "Goertzel DFT",                     // 46
    "Forward FFT",                      // 47
    "Inverse FFT",                      // 48
    "",                                 // 49
    "Forward User trans",               // 50
    "Inverse User trans",               // 51
    "Arithmetic_Group",                 // 52
    "Conjugation_Group",                // 53
    "Convolution_Group",                // 54
    "Correlation_Group",                // 55
    "Sampling_Group",                   // 56
    "Fouriers_Group",                   // 57
    "Spectrals_Group",                  // 58
    "Filters_Group",                    // 59
    "Windowing_Group",                  // 60
};

void ReportUnknownName(std::string_view name) { ShowLibError(msgNameNotFound, Language, name); }

}  // namespace

const char* CatalogueName(int32_t code) {
  if (code < 1 || code > kCatalogueSize) return "";
  return kCatalogue[code - 1];
}

const char* GeneratorHelpTopic(int32_t kind) {
  if (kind < 0 || kind >= kGeneratorKindCount) return "";
  return kGeneratorKinds[kind].helpTopic;
}

int32_t GeneratorKindOf(std::string_view name) {
  for (int32_t kind = 0; kind < kGeneratorKindCount; ++kind) {
    if (name == kGeneratorKinds[kind].typeName) return kind;
  }
  ReportUnknownName(name);
  return -1;
}

int32_t CatalogueCodeOf(std::string_view name) {
  for (int32_t code = 1; code <= kCatalogueSize; ++code) {
    if (name == kCatalogue[code - 1]) return code;
  }
  ReportUnknownName(name);
  return -1;
}

int32_t DialogCodeOf(std::string_view name) {
  struct GroupName {
    const char* single;
    const char* group;
    int32_t number;
  };
  // Tested in this order.
  static constexpr GroupName kGroups[] = {
      {"Arithmetic", "Arithmetic_Group", tgArithmetic},   {"Conjugation", "Conjugation_Group", tgConjugation},
      {"Convolution", "Convolution_Group", tgConvolution}, {"Correlation", "Correlation_Group", tgCorrelation},
      {"Sampling", "Sampling_Group", tgSampling},          {"Filters", "Filters_Group", tgFilters},
      {"Windowing", "Windowing_Group", tgWindowing},       {"Fouriers", "Fouriers_Group", tgFouriers},
      {"Spectrals", "Spectrals_Group", tgSpectrals},
  };
  for (const GroupName& g : kGroups) {
    if (name == g.single || name == g.group) return g.number;
  }
  return CatalogueCodeOf(name) + 30;
}

int32_t GroupOfCode(int32_t code) {
  if (code < 20) return code;
  if ((code >= 31 && code <= 34) || (code >= 60 && code <= 66)) return tgArithmetic;
  if (code >= 35 && code <= 41) return tgWindowing;
  if (code >= 42 && code <= 49) return tgFilters;
  if (code >= 50 && code <= 51) return tgSampling;
  if (code >= 52 && code <= 53) return tgCorrelation;
  if (code >= 54 && code <= 56) return tgConjugation;
  if (code >= 57 && code <= 59) return tgConvolution;
  if (code >= 70 && code <= 76) return tgFouriers;
  if (code >= 80 && code <= 81) return tgSpectrals;
  return -1;
}

bool IsFilterCode(int32_t code) { return code == tgFilters || GroupOfCode(code) == tgFilters; }
