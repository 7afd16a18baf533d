#include "BlockCatalogue.h"

#include <vector>

#include "Errors.h"
#include "interface/ExportList.h"

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

enum CatalogueClass : uint8_t { kNoClass, kSimple, kBuffer, kFilter };

struct CatalogueEntry {
  const char* text;
  TransformGroup group;  // for a group entry: the group it names
  CatalogueClass blockClass;
  bool desiredInput = false;  // the filter adapts towards "DDes"
};

// Position = catalogue code.
const CatalogueEntry kCatalogue[kCatalogueSize] = {
    {"E to the power", tgArithmetic, kSimple},                // 1
    {"Natural Log", tgArithmetic, kSimple},                   // 2
    {"Any Func", tgArithmetic, kSimple},                      // 3
    {"Bit-Reversed", tgArithmetic, kSimple},                  // 4
    {"Blackman trans", tgWindowing, kBuffer},                 // 5
    {"Kaiser trans", tgWindowing, kBuffer},                   // 6
    {"Bartlett trans", tgWindowing, kBuffer},                 // 7
    {"Hann trans", tgWindowing, kBuffer},                     // 8
    {"Hamming trans", tgWindowing, kBuffer},                  // 9
    {"BlackmanStd trans", tgWindowing, kBuffer},              // 10
    {"BlackmanOpt trans", tgWindowing, kBuffer},              // 11
    {"High-Level FIR", tgFilters, kFilter},                   // 12
    {"Low-Level FIR", tgFilters, kFilter},                    // 13
    {"High-Level IIR", tgFilters, kFilter},                   // 14
    {"Low-Level IIR", tgFilters, kFilter},                    // 15
    {"High-Level LMS", tgFilters, kFilter, true},             // 16
    {"High-Level LMS DES", tgFilters, kFilter, true},         // 17
    {"Low-Level LMS", tgFilters, kFilter, true},              // 18
    {"Low-Level LMS Na", tgFilters, kFilter},                 // 19
    {"Up Sample", tgSampling, kBuffer},                       // 20
    {"Down Sample", tgSampling, kBuffer},                     // 21
    {"Auto Correlation", tgCorrelation, kBuffer},             // 22
    {"Cross Correlation", tgCorrelation, kBuffer},            // 23
    {"Simple Conjugation", tgConjugation, kSimple},           // 24
    {"Flip Conjugation", tgConjugation, kBuffer},             // 25
    {"Extended Conjugation", tgConjugation, kBuffer},         // 26
    {"OneDim Convolution", tgConvolution, kBuffer},           // 27
    {"TwoDim Convolution", tgConvolution, kBuffer},           // 28
    {"Filter 2D", tgConvolution, kBuffer},                    // 29
    {"Absolute Value", tgArithmetic, kSimple},                // 30
    {"Square", tgArithmetic, kSimple},                        // 31
    {"Square Root", tgArithmetic, kSimple},                   // 32
    {"Thresh", tgArithmetic, kSimple},                        // 33
    {"Inverse Thresh", tgArithmetic, kSimple},                // 34
    {"Addition/Substraction", tgArithmetic, kSimple},         // 35
    {"Multiply/Division", tgArithmetic, kSimple},             // 36
    {"", tgNone, kNoClass},                                   // 37
    {"", tgNone, kNoClass},                                   // 38
    {"", tgNone, kNoClass},                                   // 39
    {"Discrete Fourier Transform", tgFouriers, kBuffer},      // 40
    {"Fast Fourier Transform", tgFouriers, kBuffer},          // 41
    {"FFT using RCPack/RCPerm", tgFouriers, kBuffer},         // 42
    {"FFT of CCS using RCPack/RCPerm", tgFouriers, kBuffer},  // 43
    {"FFT of real signal", tgFouriers, kBuffer},              // 44
    {"FFT of CCS signal", tgFouriers, kBuffer},               // 45
    {"Goertzel DFT", tgFouriers, kBuffer},                    // 46
    {"Forward FFT", tgNone, kBuffer},                         // 47
    {"Inverse FFT", tgNone, kBuffer},                         // 48
    {"", tgNone, kNoClass},                                   // 49
    {"Forward User trans", tgSpectrals, kBuffer},             // 50
    {"Inverse User trans", tgSpectrals, kBuffer},             // 51
    {"Arithmetic_Group", tgArithmetic, kSimple},              // 52
    {"Conjugation_Group", tgConjugation, kBuffer},            // 53
    {"Convolution_Group", tgConvolution, kBuffer},            // 54
    {"Correlation_Group", tgCorrelation, kBuffer},            // 55
    {"Sampling_Group", tgSampling, kBuffer},                  // 56
    {"Fouriers_Group", tgFouriers, kBuffer},                  // 57
    {"Spectrals_Group", tgSpectrals, kBuffer},                // 58
    {"Filters_Group", tgFilters, kFilter},                    // 59
    {"Windowing_Group", tgWindowing, kBuffer},                // 60
};

void ReportUnknownName(std::string_view name) { ShowLibError(msgNameNotFound, Language, name); }

// Group names as the dialog numbers them; tested in this order.
struct GroupName {
  const char* single;
  const char* group;
  TransformGroup number;
};
constexpr GroupName kGroupNames[] = {
    {"Arithmetic", "Arithmetic_Group", tgArithmetic},    {"Conjugation", "Conjugation_Group", tgConjugation},
    {"Convolution", "Convolution_Group", tgConvolution}, {"Correlation", "Correlation_Group", tgCorrelation},
    {"Sampling", "Sampling_Group", tgSampling},          {"Filters", "Filters_Group", tgFilters},
    {"Windowing", "Windowing_Group", tgWindowing},       {"Fouriers", "Fouriers_Group", tgFouriers},
    {"Spectrals", "Spectrals_Group", tgSpectrals},
};

// Lookups without the message, for building the table.
int32_t FindGeneratorKind(std::string_view name) {
  for (int32_t kind = 0; kind < kGeneratorKindCount; ++kind)
    if (name == kGeneratorKinds[kind].typeName) return kind;
  return -1;
}

int32_t QuietDialogCode(std::string_view name) {
  for (const GroupName& g : kGroupNames)
    if (name == g.single || name == g.group) return g.number;
  const int32_t code = FindCatalogueCode(name);
  return code < 0 ? -1 : DialogCodeOfCatalogueCode(code);
}

const CatalogueEntry* EntryOf(int32_t code) {
  if (code < 1 || code > kCatalogueSize || kCatalogue[code - 1].text[0] == '\0') return nullptr;
  return &kCatalogue[code - 1];
}

// Record fields each type reads.
using Fields = std::span<const char* const>;
const char* const kNoFields[] = {""};
constexpr Fields None{kNoFields, 0};

const char* const kFuncFields[] = {"Formula"};
const char* const kSineFields[] = {"SinePeriod", "SineAmp"};
const char* const kModSineFields[] = {"ModSinePeriod", "ModMainTone", "ModSineAmp", "IsSingle"};
const char* const kUniformFields[] = {"Low", "High"};
const char* const kConstantFields[] = {"ConstantValue"};
const char* const kToneFields[] = {"ToneRelFreq", "TonePhase", "ToneMag"};
const char* const kGaussianFields[] = {"Mean", "StDev"};
// Every window kind's preparation reads WindowLen.
const char* const kBlackmanFields[] = {"BlackLen", "BlackAmp", "Alpha", "WindowLen"};
const char* const kKaiserFields[] = {"KaiserLen", "KaiserAmp", "Alpha", "WindowLen"};
const char* const kWindowFields[] = {"WindowLen", "WindowAmp"};
const char* const kAllInOneFields[] = {
    "Kind",     "Formula",  "SinePeriod",    "SineAmp",     "ModSinePeriod", "ModMainTone", "ModSineAmp", "IsSingle",
    "Low",      "High",     "ConstantValue", "ToneRelFreq", "TonePhase",     "ToneMag",     "Mean",       "StDev",
    "BlackLen", "BlackAmp", "Alpha",         "KaiserLen",   "KaiserAmp",     "WindowLen",   "WindowAmp"};

// Row k holds kind k.
const Fields kGeneratorFields[kGeneratorKindCount] = {
    kFuncFields,   kSineFields,    kModSineFields,  kUniformFields,  kConstantFields, kToneFields,
    kWindowFields, kUniformFields, kGaussianFields, kBlackmanFields, kKaiserFields,   kWindowFields,
    kWindowFields, kWindowFields,  kWindowFields,   kWindowFields,   kAllInOneFields,
};

const char* const kUserFuncFields[] = {"User_func"};
const char* const kBitRevFields[] = {"BitRev_Order"};
const char* const kThreshFields[] = {"Thresh_param", "Thresh_RelOp"};
const char* const kInvThreshFields[] = {"Thresh_param"};
const char* const kAddFields[] = {"Add_Sub_coef"};
const char* const kMpyFields[] = {"Mpy_Div_coef"};
const char* const kArithmeticGroupFields[] = {"TransformCode", "User_func",    "BitRev_Order", "Thresh_param",
                                              "Thresh_RelOp",  "Add_Sub_coef", "Mpy_Div_coef"};

const char* const kLengthFields[] = {"Num_Points"};
const char* const kWinAlphaFields[] = {"Num_Points", "Win_Alpha"};
const char* const kWinBetaFields[] = {"Num_Points", "Win_Beta"};
const char* const kSamplingFields[] = {"Num_Points", "Sampl_Factor", "Sampl_Phase"};
const char* const kAutoCorrFields[] = {"Num_Points", "Corr_nLags"};
const char* const kConvFields[] = {"Num_Points", "Conv_H_Count", "Conv_H_12D"};
const char* const kCcsFftFields[] = {"Num_Points", "FFT_Flags"};
const char* const kGoertzelFields[] = {"Num_Points", "Goertzel_Frequency"};
const char* const kGroupLengthFields[] = {"TransformCode", "Num_Points"};
const char* const kWindowingGroupFields[] = {"TransformCode", "Num_Points", "Win_Alpha", "Win_Beta"};
const char* const kSamplingGroupFields[] = {"TransformCode", "Num_Points", "Sampl_Factor", "Sampl_Phase"};
const char* const kCorrelationGroupFields[] = {"TransformCode", "Num_Points", "Corr_nLags"};
const char* const kConvolutionGroupFields[] = {"TransformCode", "Num_Points", "Conv_H_Count", "Conv_H_12D"};
const char* const kFouriersGroupFields[] = {"TransformCode", "Num_Points", "FFT_Flags", "Goertzel_Frequency"};

const char* const kFirFields[] = {"FIRS_TapsCount", "FIRS_Taps",    "FIRS_Delay",      "isMulti_Rate",
                                  "FIRH_UpFactor",  "FIRH_UpPhase", "FIRH_DownFactor", "FIRH_DownPhase"};
const char* const kIirFields[] = {"IIRS_TapsCount", "IIRS_Taps", "IIRS_Delay", "IIRS_isBiquads"};
const char* const kHighLmsFields[] = {"LMSS_TapsCount", "LMSS_Taps",    "LMSS_Delay",  "LMSS_Type",
                                      "LMSS_Step",      "LMSS_Leak",    "LMSS_ErrDly", "LMSH_isMulti",
                                      "LMSS_DwnFactor", "LMSS_DwnPhase"};
const char* const kLowLmsFields[] = {"LMSS_TapsCount", "LMSS_Taps",     "LMSS_Delay",   "LMSS_Type",
                                     "LMSS_Step",      "LMSS_Leak",     "LMSS_ErrDly",  "LMSH_isMulti",
                                     "LMSS_DwnFactor", "LMSS_DwnPhase", "LMSS_isAdaptB"};
const char* const kFiltersGroupFields[] = {
    "TransformCode",  "FIRS_TapsCount",  "FIRS_Taps",      "FIRS_Delay",     "isMulti_Rate",  "FIRH_UpFactor",
    "FIRH_UpPhase",   "FIRH_DownFactor", "FIRH_DownPhase", "IIRS_TapsCount", "IIRS_Taps",     "IIRS_Delay",
    "IIRS_isBiquads", "LMSS_TapsCount",  "LMSS_Taps",      "LMSS_Delay",     "LMSS_Type",     "LMSS_Step",
    "LMSS_Leak",      "LMSS_ErrDly",     "LMSH_isMulti",   "LMSS_DwnFactor", "LMSS_DwnPhase", "LMSS_isAdaptB"};

const char* const kLoadFields[] = {"FileName"};
const char* const kSaveFields[] = {"FileName", "SampleRate", "BitsPerSample", "Channels"};

Fields TransformFields(int32_t code) {
  switch (code) {
    case ccAnyFunc:
      return kUserFuncFields;
    case ccBitReversed:
      return kBitRevFields;
    case ccThresh:
      return kThreshFields;
    case ccInverseThresh:
      return kInvThreshFields;
    case ccAdditionSubstraction:
      return kAddFields;
    case ccMultiplyDivision:
      return kMpyFields;
    case ccBlackmanTrans:
      return kWinAlphaFields;
    case ccKaiserTrans:
      return kWinBetaFields;
    case ccUpSample:
    case ccDownSample:
      return kSamplingFields;
    case ccAutoCorrelation:
      return kAutoCorrFields;
    case ccOneDimConvolution:
    case ccTwoDimConvolution:
    case ccFilter2D:
      return kConvFields;
    case ccFftCcsRcPack:
      return kCcsFftFields;
    case ccGoertzelDft:
      return kGoertzelFields;
    case ccHighLevelFir:
    case ccLowLevelFir:
      return kFirFields;
    case ccHighLevelIir:
    case ccLowLevelIir:
      return kIirFields;
    case ccHighLevelLms:
    case ccHighLevelLmsDes:
      return kHighLmsFields;
    case ccLowLevelLms:
    case ccLowLevelLmsNa:
      return kLowLmsFields;
    case ccArithmeticGroup:
      return kArithmeticGroupFields;
    case ccWindowingGroup:
      return kWindowingGroupFields;
    case ccSamplingGroup:
      return kSamplingGroupFields;
    case ccCorrelationGroup:
      return kCorrelationGroupFields;
    case ccConvolutionGroup:
      return kConvolutionGroupFields;
    case ccFouriersGroup:
      return kFouriersGroupFields;
    case ccConjugationGroup:
    case ccSpectralsGroup:
      return kGroupLengthFields;
    case ccFiltersGroup:
      return kFiltersGroupFields;
    default:
      break;
  }
  const CatalogueEntry* e = EntryOf(code);
  return e != nullptr && e->blockClass == kBuffer ? Fields{kLengthFields} : None;
}

// Row k holds kind k.
const char* const kGeneratorDescriptions[kGeneratorKindCount] = {
    "user formula F(t) of the time t",
    "sine: SineAmp * sin(2 pi t / SinePeriod)",
    "damped sine bursts",
    "uniform noise between Low and Low + High",
    "constant value",
    "tone: ToneMag * sin(2 pi ToneRelFreq t + TonePhase)",
    "triangle (Bartlett) window, repeated",
    "uniform noise from Low up to (but excluding) High",
    "(Mean - StDev) + 2 (StDev + 1) |z|: the magnitude of a Gaussian draw z, shifted; not normally distributed",
    "Blackman window with parameter Alpha, repeated",
    "Kaiser window, repeated",
    "Bartlett window, repeated",
    "Hann window, repeated",
    "Hamming window, repeated",
    "standard Blackman window, repeated",
    "optimal Blackman window, repeated",
    "any generator kind, chosen by the record's Kind",
};

// Position = catalogue code; "" for the empty entries.
const char* const kTransformDescriptions[kCatalogueSize] = {
    "e to the power of the input",
    "natural logarithm of the input",
    "user formula F(x) of the input",
    "input with its low BitRev_Order bits reversed",
    "N samples times a Blackman window",
    "N samples times a Kaiser window",
    "N samples times a Bartlett window",
    "N samples times a Hann window",
    "N samples times a Hamming window",
    "N samples times a standard Blackman window",
    "N samples times an optimal Blackman window",
    "FIR filter, state kept by the signal library",
    "FIR filter over taps and a delay line",
    "IIR filter, state kept by the signal library",
    "IIR filter over taps and a delay line",
    "LMS adaptive filter towards DDes",
    "LMS adaptive filter towards DDes, with the desired-value state",
    "LMS adaptive filter towards DDes over taps and a delay line",
    "LMS filter over taps and a delay line, no desired value",
    "up-sampling of N samples by Sampl_Factor",
    "down-sampling of N samples by Sampl_Factor",
    "auto-correlation of N samples",
    "cross-correlation: emits N zeros",
    "complex conjugate of the input",
    "flipped conjugate of N samples",
    "extended conjugate of N samples",
    "convolution of N samples with the taps",
    "two-dimensional convolution of N samples with the taps",
    "two-dimensional filter of N samples with the taps",
    "absolute value of the input",
    "square of the input",
    "square root of the input",
    "input limited at Thresh_param",
    "inverse threshold of the input at Thresh_param",
    "input plus Add_Sub_coef (plus D2In when bound)",
    "input times Mpy_Div_coef (times D2In when bound)",
    "",
    "",
    "",
    "discrete Fourier transform (passes its input through)",
    "fast Fourier transform (passes its input through)",
    "real FFT of N samples as a power spectrum",
    "complex FFT of N samples in CCS form",
    "FFT of a real signal (passes its input through)",
    "FFT of a CCS signal (passes its input through)",
    "Goertzel DFT of N samples at one frequency",
    "forward FFT (passes its input through)",
    "inverse FFT (passes its input through)",
    "",
    "forward user transform (passes its input through)",
    "inverse user transform (passes its input through)",
    "element-wise operation chosen by the record's TransformCode",
    "conjugation chosen by the record's TransformCode",
    "convolution chosen by the record's TransformCode",
    "correlation chosen by the record's TransformCode",
    "up or down sampling chosen by the record's TransformCode",
    "Fourier transform chosen by the record's TransformCode",
    "spectral transform chosen by the record's TransformCode",
    "filter chosen by the record's TransformCode",
    "window chosen by the record's TransformCode",
};

const char* ClassText(BlockClass c) {
  switch (c) {
    case BlockClass::Generator:
      return "TGenerator";
    case BlockClass::SimpleTransform:
      return "TSimpleTransform";
    case BlockClass::Transform:
      return "TTransform";
    case BlockClass::FilterTransform:
      return "TFilterTransform";
    case BlockClass::WaveLoad:
      return "TWaveIO (load)";
    case BlockClass::WaveSave:
      return "TWaveIO (save)";
  }
  return "";
}

// The factory argument is a type name or a wave mode.
BlockClass ClassOf(std::string_view factory, const char*) {
  if (factory == "CreateGenerator") return BlockClass::Generator;
  if (factory == "CreateSimpleTransform") return BlockClass::SimpleTransform;
  if (factory == "CreateFilterTransform") return BlockClass::FilterTransform;
  return BlockClass::Transform;
}
BlockClass ClassOf(std::string_view, int mode) { return mode == 0 ? BlockClass::WaveLoad : BlockClass::WaveSave; }
const char* TypeText(const char* name) { return name; }
const char* TypeText(int mode) { return mode == 0 ? "Load Wave" : "Save Wave"; }

BlockRow MakeRow(int32_t ordinal, const char* exportName, BlockClass c, const char* typeName) {
  BlockRow row{ordinal, exportName, c, ClassText(c), typeName, -1, -1, -1, tgNone, BlockPorts(c).ports, None, ""};
  switch (c) {
    case BlockClass::Generator:
      row.generatorKind = FindGeneratorKind(typeName);
      row.description = "not a generator kind: the block reports its name and stays invalid";
      if (row.generatorKind >= 0) {
        row.fields = kGeneratorFields[row.generatorKind];
        row.description = kGeneratorDescriptions[row.generatorKind];
      }
      if (std::string_view(exportName) == "Kaiser_Init")
        row.description =
            "Blackman window with parameter Alpha, repeated: this export builds a \"Blackman\" generator (the Kaiser "
            "kind is All_in_One_Init with Kind = 10)";
      break;
    case BlockClass::WaveLoad:
      row.fields = kLoadFields;
      row.description = "plays a WAVE file into C1 (and C2), one sample per step";
      break;
    case BlockClass::WaveSave:
      row.fields = kSaveFields;
      row.description = "records C1 into a WAVE file, one sample per step";
      break;
    default:
      row.catalogueCode = FindCatalogueCode(typeName);
      row.dialogCode = QuietDialogCode(typeName);
      row.group = IsGroupDialogCode(row.dialogCode) ? row.dialogCode : GroupOfCode(row.dialogCode);
      row.ports = BlockPorts(c, row.catalogueCode).ports;
      row.fields = TransformFields(row.catalogueCode);
      row.description = row.catalogueCode > 0 ? kTransformDescriptions[row.catalogueCode - 1] : "";
      break;
  }
  return row;
}

const std::vector<BlockRow>& Rows() {
  static const std::vector<BlockRow> rows = [] {
    std::vector<BlockRow> r;
#define RIR_ROW(ordinal, name, factory, arg) \
  r.push_back(MakeRow(ordinal, #name, ClassOf(#factory, arg), TypeText(arg)));
    RIR_INIT_EXPORTS(RIR_ROW)
#undef RIR_ROW
    return r;
  }();
  return rows;
}

}  // namespace

int32_t FindCatalogueCode(std::string_view name) {
  for (int32_t code = 1; code <= kCatalogueSize; ++code)
    if (name == kCatalogue[code - 1].text) return code;
  return -1;
}

const char* CatalogueName(int32_t code) {
  if (code < 1 || code > kCatalogueSize) return "";
  return kCatalogue[code - 1].text;
}

const char* GeneratorHelpTopic(int32_t kind) {
  if (kind < 0 || kind >= kGeneratorKindCount) return "";
  return kGeneratorKinds[kind].helpTopic;
}

int32_t GeneratorKindOf(std::string_view name) {
  const int32_t kind = FindGeneratorKind(name);
  if (kind < 0) ReportUnknownName(name);
  return kind;
}

int32_t CatalogueCodeOf(std::string_view name) {
  const int32_t code = FindCatalogueCode(name);
  if (code < 0) ReportUnknownName(name);
  return code;
}

int32_t DialogCodeOf(std::string_view name) {
  for (const GroupName& g : kGroupNames) {
    if (name == g.single || name == g.group) return g.number;
  }
  return DialogCodeOfCatalogueCode(CatalogueCodeOf(name));
}

int32_t GroupOfCode(int32_t code) {
  if (code < 20) return code;
  // Single operations only: a group's own entry has no dialog code of this form.
  const int32_t catalogueCode = CatalogueCodeOfDialogCode(code);
  const CatalogueEntry* e = catalogueCode < ccArithmeticGroup ? EntryOf(catalogueCode) : nullptr;
  return e != nullptr ? e->group : tgNone;
}

bool IsFilterCode(int32_t code) { return code == tgFilters || GroupOfCode(code) == tgFilters; }

bool IsElementWiseCode(int32_t code) {
  const CatalogueEntry* e = EntryOf(code);
  return e != nullptr && code < ccArithmeticGroup && e->blockClass == kSimple;
}
bool IsBufferCode(int32_t code) {
  const CatalogueEntry* e = EntryOf(code);
  return e != nullptr && code < ccArithmeticGroup && e->blockClass == kBuffer;
}
bool IsFilterOperationCode(int32_t code) {
  const CatalogueEntry* e = EntryOf(code);
  return e != nullptr && code < ccArithmeticGroup && e->blockClass == kFilter;
}
bool UsesDesiredInput(int32_t code) {
  const CatalogueEntry* e = EntryOf(code);
  return e != nullptr && e->desiredInput;
}

std::span<const BlockRow> BlockTable() { return Rows(); }

const BlockRow* FindBlockRow(std::string_view exportName) {
  for (const BlockRow& row : Rows())
    if (exportName == row.exportName) return &row;
  return nullptr;
}
