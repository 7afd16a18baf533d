#include "TransformDialogLogic.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "CoefficientLists.h"
#include "framework/CatalogueCodes.h"
#include "FormulaText.h"
#include "numeric/RecordSchema.h"

namespace {

const KindItem kTree[] = {
    {"Source Signal", -1, false},
    {"Arithmetic", tgArithmetic, false},
    {"User's function", DialogCodeOfCatalogueCode(ccAnyFunc), true},
    {"Add/Sub", DialogCodeOfCatalogueCode(ccAdditionSubstraction), true},
    {"Mpy/Div", DialogCodeOfCatalogueCode(ccMultiplyDivision), true},
    {"E to the power", DialogCodeOfCatalogueCode(ccEToThePower), true},
    {"Natural Log", DialogCodeOfCatalogueCode(ccNaturalLog), true},
    {"Absolute Value", DialogCodeOfCatalogueCode(ccAbsoluteValue), true},
    {"Square", DialogCodeOfCatalogueCode(ccSquare), true},
    {"Square Root", DialogCodeOfCatalogueCode(ccSquareRoot), true},
    {"Bit Reversed", DialogCodeOfCatalogueCode(ccBitReversed), true},
    {"Thresh", DialogCodeOfCatalogueCode(ccThresh), true},
    {"Inverse Thresh", DialogCodeOfCatalogueCode(ccInverseThresh), true},
    {"Conjugation", DialogCodeOfCatalogueCode(ccSimpleConjugation), true},
    {"Extended Conjugation", tgConjugation, false},
    {"Flip", DialogCodeOfCatalogueCode(ccFlipConjugation), true},
    {"Extended", DialogCodeOfCatalogueCode(ccExtendedConjugation), true},
    {"Convolution", tgConvolution, false},
    {"One-Dimention ", DialogCodeOfCatalogueCode(ccOneDimConvolution), true},
    {"Two-Dimention", DialogCodeOfCatalogueCode(ccTwoDimConvolution), true},
    {"Filter 2D", DialogCodeOfCatalogueCode(ccFilter2D), true},
    {"Correlation", tgCorrelation, false},
    {"Auto", DialogCodeOfCatalogueCode(ccAutoCorrelation), true},
    {"Cross", -DialogCodeOfCatalogueCode(ccCrossCorrelation), true},
    {"Sampling", tgSampling, false},
    {"Up Sample", DialogCodeOfCatalogueCode(ccUpSample), true},
    {"Down Sample", DialogCodeOfCatalogueCode(ccDownSample), true},
    {"Fourier Transformation", tgFouriers, false},
    {"Goertzel DFT", DialogCodeOfCatalogueCode(ccGoertzelDft), true},
    {"Discrete(nspzDft)", -DialogCodeOfCatalogueCode(ccDiscreteFourier), true},
    {"Fast(nspzFftNip)", -DialogCodeOfCatalogueCode(ccFastFourier), true},
    {"RealFFTLNip", DialogCodeOfCatalogueCode(ccFftRcPack), true},
    {"CcsFFTLNip (Pack)", DialogCodeOfCatalogueCode(ccFftCcsRcPack), true},
    {"RealFFTNip", DialogCodeOfCatalogueCode(ccFftRealSignal), true},
    {"CcsFFTNip", DialogCodeOfCatalogueCode(ccFftCcsSignal), true},
    {"Spectral Transformation", tgSpectrals, false},
    {"Forward", DialogCodeOfCatalogueCode(ccForwardUserTrans), true},
    {"Inverse", DialogCodeOfCatalogueCode(ccInverseUserTrans), true},
    {"Filters", tgFilters, false},
    {"High-Level FIR", DialogCodeOfCatalogueCode(ccHighLevelFir), true},
    {"Low-Level FIR", DialogCodeOfCatalogueCode(ccLowLevelFir), true},
    {"High-Level IIR", DialogCodeOfCatalogueCode(ccHighLevelIir), true},
    {"Low-Level IIR", DialogCodeOfCatalogueCode(ccLowLevelIir), true},
    {"High-Level LMS", DialogCodeOfCatalogueCode(ccHighLevelLms), true},
    {"High-Level LMS DES", DialogCodeOfCatalogueCode(ccHighLevelLmsDes), true},
    {"Low-Level LMS", DialogCodeOfCatalogueCode(ccLowLevelLms), true},
    {"Low-Level LMS Na", DialogCodeOfCatalogueCode(ccLowLevelLmsNa), true},
    {"Windowing", tgWindowing, false},
    {"BlackMan", DialogCodeOfCatalogueCode(ccBlackmanTrans), true},
    {"Kaiser", DialogCodeOfCatalogueCode(ccKaiserTrans), true},
    {"Bartlett", DialogCodeOfCatalogueCode(ccBartlettTrans), true},
    {"Hann", DialogCodeOfCatalogueCode(ccHannTrans), true},
    {"Hamming", DialogCodeOfCatalogueCode(ccHammingTrans), true},
    {"BlackmanStd", DialogCodeOfCatalogueCode(ccBlackmanStdTrans), true},
    {"BlackmanOpt", DialogCodeOfCatalogueCode(ccBlackmanOptTrans), true},
};

const char* const kPages[] = {"None",         "Disabled",        "BlackMan",    "Kaiser",   "Windowing",
                              "Info",         "FFT_Flags",       "Goertzel",    "Sampling", "Correlation",
                              "Bit Reversed", "Thresh",          "Convolution", "FIRS",     "IIRS",
                              "LMSS",         "Users_transform", "Users_func",  "Add_Sub",  "Mpy_Div"};

// A control bound to a record field takes its range from the record schema.
consteval NumberControl Bound(RecordKind record, const char* name, double step, double value, int32_t decimals) {
  const RecordField& f = RecordFieldNamed(record, name);
  return {f.name, f.controlMin, f.controlMax, step, value, decimals};
}
constexpr RecordKind InTransform = RecordKind::Transform;
constexpr RecordKind InFilter = RecordKind::Filter;

const NumberControl kNumbers[] = {
    Bound(InTransform, "Num_Points", 1, 102, 0),
    Bound(InTransform, "Win_Alpha", 1, 7, 4),
    Bound(InTransform, "Win_Beta", 1, -2, 4),
    // Composes the flag word; no record holds it.
    {"WindowLen", 1, 2000000000, 1, 400, 0},
    Bound(InTransform, "Goertzel_Frequency", 0.001, 0.125, 6),
    Bound(InTransform, "Sampl_Factor", 1, 2, 0),
    Bound(InTransform, "Sampl_Phase", 1, 1, 0),
    Bound(InTransform, "Corr_nLags", 1, 1, 0),
    Bound(InTransform, "BitRev_Order", 1, 5, 0),
    Bound(InTransform, "Thresh_param", 1, 10, 4),
    Bound(InFilter, "FIRH_UpFactor", 1, 1, 0),
    Bound(InFilter, "FIRH_UpPhase", 1, 0, 0),
    Bound(InFilter, "FIRH_DownFactor", 1, 1, 0),
    Bound(InFilter, "FIRH_DownPhase", 1, 0, 0),
    Bound(InFilter, "LMSS_ErrDly", 1, 0, 0),
    Bound(InFilter, "LMSS_Step", 0.1, 0, 6),
    Bound(InFilter, "LMSS_Leak", 0.1, 0, 6),
    Bound(InFilter, "LMSS_DwnFactor", 1, 1, 0),
    Bound(InFilter, "LMSS_DwnPhase", 1, 0, 0),
    Bound(InTransform, "Add_Sub_coef", 1, 13, 6),
    Bound(InTransform, "Mpy_Div_coef", 1, 4, 6),
};

const TextControl kTexts[] = {
    {"Conv_H_12D", "{1,1,1,1,1,1}"},
    {"FIRS_Taps", "{1,1,1,1,1,1}"},
    {"FIRS_Delay", "{0,0,0,0,0}"},
    {"IIRS_Taps", "{1,1,1,1,1,1}"},
    {"IIRS_Delay", "{0,0,0,0,0}"},
    {"LMSS_Taps", "{1,1,1,1,1,1}"},
    {"LMSS_Delay", "{0,0,0,0,0}"},
    {"LMSS_Formula", "10*Cos(0.01*pi*t)"},
    {"Basis_func", "(1+(-1)^k)/2*cos(k*x)+(1+(-1)^(k+1))/2*sin(k*x)"},
    {"User_func", "1/10*t"},
};

const char* const kCorrTypes[] = {"NSP_AutoNormal", "NSP_AutoBiased", "NSP_AutoUnBiased"};
const char* const kRelOps[] = {"NSP_GT", "NSP_LT"};
const char* const kIirTypes[] = {"IIR Null", "IIR Defaulf"};
const ComboControl kCombos[] = {
    {"corrType", kCorrTypes, 1},
    {"Thresh_RelOp", kRelOps, 0},
    {"IIRS_Type", kIirTypes, 0},
    {"LMSS_Type", kIirTypes, 0},
};

const Caption kCaptions[] = {
    {"GroupBox1", "Parameters", "Параметры"},
    {"NotParams_label", "There are no parameters", "Параметры отсутствуют"},
    {"DisFunc_label", "The function is disabled", "Функция отключена"},
    {"Flags_label", "Flags", "Флаги"},
    {"Ck_Forw", "Forward", "Прямое"},
    {"Ck_Init", "Initialize", "Инициализация"},
    {"Ck_Inv", "Inverse", "Обратное"},
    {"Ck_NoBitRev", "No Bit-Reversed", "Не бит-реверс"},
    {"Ck_InBitRev", "Bit-Reversed", "Бит-реверс"},
    {"Ck_OutBitRev", "Out Bit-Reversed", "Вых. бит-реверс"},
    {"CK_OutRCPack", "Out RCPack", "Вых. RCPack"},
    {"CK_OutRCPerm", "Out RCPerm", "Вых. RCPerm"},
    {"CK_InRCPack", "In RCPack", "Вх. RCPack"},
    {"CK_InRCPerm", "In RCPerm", "Вх. RCPerm"},
    {"Freq_label", "Frequency", "Частота"},
    {"Factor_label", " Factor ", " Множитель"},
    {"Phase_label", " Phase ", " Фаза"},
    {"CorrType_label", "Correlation Type", "Тип корреляции"},
    {"Alpha_Label", " Alpha", "Альфа"},
    {"Beta_label", " Beta ", "Бета"},
    {"Delay_label2", "Delay", "Задержки"},
    {"IIRSDelay_Label", "Delay", "Задержки"},
    {"Down_label", " Down Factor", "Down Factor"},
    {"Basis_label", "Basis functions :", "Базисная функция :"},
    {"ListBasis_label", "List of some basis functions", "Список базисных функций"},
    {"FT_label", "F(t) :", "F(t):"},
    {"UserFunc_label", "User's function :", "Функция"},
    {"Coefficient_label", "Coefficient", "Коеффициент"},
    {"Mpy_coef_label", "Coefficient", "Коеффициент"},
    {"SigLen_label", "Signal Length", "Длина сигнала"},
};

// One text in both languages.
const Caption kFixedCaptions[] = {
    {"Ck_NoScale", "No Scale", "No Scale"},
    {"nLags_label", "nLags", "nLags"},
    {"Taps_label", "Taps", "Taps"},
    {"Taps_label2", "Taps", "Taps"},
    {"IIRTaps_label", "Taps", "Taps"},
    {"Taps_label3", "Taps", "Taps"},
    {"Bit_Order_label", "Order", "Order"},
    {"Thresh_label", "Thresh", "Thresh"},
    {"RelOp_label", "RelOp", "RelOp"},
    {"isMulti_Rate", "Multi-Rate", "Multi-Rate"},
    {"Multi_Rate_Box", "Multi Rate parameters", "Multi Rate parameters"},
    {"Up_Factor_label", "Up Factor", "Up Factor"},
    {"Up_Phase_label", "Up Phase", "Up Phase"},
    {"Down_Factor_label", "Down Factor", "Down Factor"},
    {"Down_Phase_label", "Down Phase", "Down Phase"},
    {"DownP_label", "Down Phase", "Down Phase"},
    {"IIRType_label", "IIR Type", "IIR Type"},
    {"IIR_type_label", "IIR Type", "IIR Type"},
    {"IIRS_isBiquads", "Order/Biquads", "Order/Biquads"},
    {"Delay_label3", "Delay", "Delay"},
    {"Result_label", "Result", "Result"},
    {"LMSS_isAdaptB", "Adaptive filter", "Adaptive filter"},
    {"ErrDly_label", "Err Dly", "Err Dly"},
    {"Step_label", "Step", "Step"},
    {"Leak_label", "Leak", "Leak"},
    {"LMSS_Multi_Rate", "Multi - Rate parameters", "Multi - Rate parameters"},
    {"LMSH_isMulti", "Single/Multi Rate", "Single/Multi Rate"},
    {"FKX_label", "Fk(x):", "Fk(x):"},
    {"WinLen_label", "Length", "Length"},
    {"PreViewBtn", "&Preview", "&Preview"},
};

const FlagBox kFlagBoxes[] = {
    {"Ck_Forw", kFlagForward, true},         {"Ck_Inv", kFlagInverse, false},
    {"Ck_Init", kFlagInit, false},           {"Ck_NoScale", kFlagNoScale, false},
    {"Ck_NoBitRev", kFlagNoBitRev, false},   {"Ck_InBitRev", kFlagInBitRev, false},
    {"Ck_OutBitRev", kFlagOutBitRev, false}, {"CK_OutRCPack", kFlagOutRcPack, true},
    {"CK_OutRCPerm", kFlagOutRcPerm, false}, {"CK_InRCPack", kFlagInRcPack, true},
    {"CK_InRCPerm", kFlagInRcPerm, false},
};

const ListField kListFields[] = {
    {"Conv_H_12D", CoefficientList::ConvTaps}, {"FIRS_Taps", CoefficientList::FirTaps},
    {"FIRS_Delay", CoefficientList::FirDelay}, {"IIRS_Taps", CoefficientList::IirTaps},
    {"IIRS_Delay", CoefficientList::IirDelay}, {"LMSS_Taps", CoefficientList::LmsTaps},
    {"LMSS_Delay", CoefficientList::LmsDelay},
};

bool Doomed(int32_t code, int32_t dialogCode, bool groupMode, int32_t group) {
  if (groupMode) return IsGroupDialogCode(code) && code != group;
  return code != dialogCode && (code < 0 || !IsGroupDialogCode(code) || code != group);
}

std::string TextOf(std::string_view view) { return std::string(view); }

}  // namespace

std::span<const KindItem> KindTree() { return kTree; }

std::vector<KindItem> PruneKindTree(int32_t dialogCode, bool groupMode, int32_t group) {
  std::vector<KindItem> kept;
  bool groupKept = false;
  for (const KindItem& item : kTree) {
    if (!item.child) groupKept = !Doomed(item.code, dialogCode, groupMode, group);
    if (!groupKept) continue;
    if (item.child && Doomed(item.code, dialogCode, groupMode, group)) continue;
    kept.push_back(item);
  }
  return kept;
}

int32_t SelectedKindIndex(const std::vector<KindItem>& items, int32_t dialogCode) {
  for (size_t i = items.size(); i-- > 0;) {
    if (items[i].code == dialogCode) return static_cast<int32_t>(i);
  }
  return -1;
}

std::span<const char* const> TransformPages() { return kPages; }

const char* PageOfCode(int32_t dialogCode) {
  switch (dialogCode) {
    case DialogCodeOfCatalogueCode(ccAnyFunc):
      return "Users_func";
    case DialogCodeOfCatalogueCode(ccAdditionSubstraction):
      return "Add_Sub";
    case DialogCodeOfCatalogueCode(ccMultiplyDivision):
      return "Mpy_Div";
    case DialogCodeOfCatalogueCode(ccBitReversed):
      return "Bit Reversed";
    case DialogCodeOfCatalogueCode(ccThresh):
    case DialogCodeOfCatalogueCode(ccInverseThresh):
      return "Thresh";
    case DialogCodeOfCatalogueCode(ccOneDimConvolution):
    case DialogCodeOfCatalogueCode(ccTwoDimConvolution):
    case DialogCodeOfCatalogueCode(ccFilter2D):
      return "Convolution";
    case DialogCodeOfCatalogueCode(ccAutoCorrelation):
      return "Correlation";
    case DialogCodeOfCatalogueCode(ccUpSample):
    case DialogCodeOfCatalogueCode(ccDownSample):
      return "Sampling";
    case DialogCodeOfCatalogueCode(ccGoertzelDft):
      return "Goertzel";
    case DialogCodeOfCatalogueCode(ccDiscreteFourier):
    case DialogCodeOfCatalogueCode(ccFastFourier):
    case DialogCodeOfCatalogueCode(ccFftRcPack):
    case DialogCodeOfCatalogueCode(ccFftCcsRcPack):
    case DialogCodeOfCatalogueCode(ccFftRealSignal):
    case DialogCodeOfCatalogueCode(ccFftCcsSignal):
      return "FFT_Flags";
    case DialogCodeOfCatalogueCode(ccForwardUserTrans):
    case DialogCodeOfCatalogueCode(ccInverseUserTrans):
      return "Users_transform";
    case DialogCodeOfCatalogueCode(ccHighLevelFir):
    case DialogCodeOfCatalogueCode(ccLowLevelFir):
      return "FIRS";
    case DialogCodeOfCatalogueCode(ccHighLevelIir):
    case DialogCodeOfCatalogueCode(ccLowLevelIir):
      return "IIRS";
    case DialogCodeOfCatalogueCode(ccHighLevelLms):
    case DialogCodeOfCatalogueCode(ccHighLevelLmsDes):
    case DialogCodeOfCatalogueCode(ccLowLevelLms):
    case DialogCodeOfCatalogueCode(ccLowLevelLmsNa):
      return "LMSS";
    case DialogCodeOfCatalogueCode(ccBlackmanTrans):
      return "BlackMan";
    case DialogCodeOfCatalogueCode(ccKaiserTrans):
      return "Kaiser";
    case DialogCodeOfCatalogueCode(ccBartlettTrans):
    case DialogCodeOfCatalogueCode(ccHannTrans):
    case DialogCodeOfCatalogueCode(ccHammingTrans):
    case DialogCodeOfCatalogueCode(ccBlackmanStdTrans):
    case DialogCodeOfCatalogueCode(ccBlackmanOptTrans):
      return "Windowing";
    default:
      return dialogCode >= 0 ? "None" : "Disabled";
  }
}

KindSelection SelectKind(int32_t dialogCode) {
  KindSelection s;
  s.page = PageOfCode(dialogCode);
  switch (dialogCode) {
    case DialogCodeOfCatalogueCode(ccThresh):
      s.threshMinimum = 0;
      s.threshRelOpEnabled = true;
      break;
    case DialogCodeOfCatalogueCode(ccInverseThresh):
      s.threshMinimum = 1;
      s.threshRelOpEnabled = false;
      break;
    case DialogCodeOfCatalogueCode(ccUpSample):
    case DialogCodeOfCatalogueCode(ccDownSample):
      s.snapsSamplingFactor = true;
      break;
    case DialogCodeOfCatalogueCode(ccDiscreteFourier):
    case DialogCodeOfCatalogueCode(ccFftRealSignal):
      s.flagEnableSet = EnableSetOf({1});
      break;
    case DialogCodeOfCatalogueCode(ccFastFourier):
    case DialogCodeOfCatalogueCode(ccFftCcsSignal):
      s.flagEnableSet = EnableSetOf({1, 2});
      break;
    case DialogCodeOfCatalogueCode(ccFftRcPack):
      s.flagEnableSet = EnableSetOf({1, 3});
      break;
    case DialogCodeOfCatalogueCode(ccFftCcsRcPack):
      s.flagEnableSet = EnableSetOf({1, 2, 4});
      break;
    case DialogCodeOfCatalogueCode(ccHighLevelIir):
      s.iirDelayShown = false;
      break;
    case DialogCodeOfCatalogueCode(ccLowLevelIir):
      s.iirDelayShown = true;
      break;
    default:
      break;
  }
  s.adaptiveShown = dialogCode == DialogCodeOfCatalogueCode(ccLowLevelLms) ||
                    dialogCode == DialogCodeOfCatalogueCode(ccLowLevelLmsNa);
  s.formulaShown = dialogCode != DialogCodeOfCatalogueCode(ccLowLevelLmsNa);
  s.previewEnabled = !IsGroupDialogCode(dialogCode);
  s.helpContext = 10000 + 10 * dialogCode;
  return s;
}

std::span<const NumberControl> TransformNumberControls() { return kNumbers; }

const NumberControl* FindNumberControl(const char* name) {
  for (const NumberControl& c : kNumbers) {
    if (std::strcmp(c.name, name) == 0) return &c;
  }
  return nullptr;
}

double FitNumber(const NumberControl& control, double value, std::optional<double> minimum,
                 std::optional<double> maximum) {
  if (std::isnan(value)) value = 0;
  // Rounded the way a spin edit rounds: through its shown text.
  char text[400];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, control.decimals);
  if (end.ec == std::errc()) std::from_chars(text, end.ptr, value);
  return std::clamp(value, minimum.value_or(control.minimum),
                    std::max(minimum.value_or(control.minimum), maximum.value_or(control.maximum)));
}

int32_t FitInteger(const char* name, double value, std::optional<double> minimum, std::optional<double> maximum) {
  const NumberControl* control = FindNumberControl(name);
  if (control == nullptr) return static_cast<int32_t>(std::clamp<double>(value, INT32_MIN, INT32_MAX));
  return static_cast<int32_t>(FitNumber(*control, value, minimum, maximum));
}

std::span<const TextControl> TransformTextControls() { return kTexts; }

const char* DesignTextOf(const char* name) {
  for (const TextControl& t : kTexts) {
    if (std::strcmp(t.name, name) == 0) return t.text;
  }
  return "";
}

std::span<const ComboControl> TransformComboControls() { return kCombos; }

const ComboControl* FindComboControl(const char* name) {
  for (const ComboControl& c : kCombos) {
    if (std::strcmp(c.name, name) == 0) return &c;
  }
  return nullptr;
}

const char* const kBitRevOrderHint = "The number of bits of the input word to be reversed.";
const char* const kThreshParamHint = "A value the lower bound of which is used to limit each element of src[n].";

int32_t ThreshRelOpOfText(const std::string& text) { return text == "NSP_GT" ? 1 : 0; }

const char* ThreshRelOpHint(int32_t tag) {
  return tag == 1 ? "Specifies the “greater-then” operator and thresh is an upper bound."
                  : "Specifies the “less-then” operator and thresh is a lower bound.";
}

int32_t CorrTypeOfText(const std::string& text) {
  if (text == "NSP_AutoNormal") return kCorrAutoNormal;
  if (text == "NSP_AutoBiased") return kCorrAutoBiased;
  return kCorrAutoUnbiased;
}

const char* CorrTypeHint(int32_t type) {
  switch (type) {
    case kCorrAutoNormal:
      return "Specifies that the normal auto-correlation to be computed.";
    case kCorrAutoBiased:
      return "Specifies that the biased auto-correlation to be computed.";
    default:
      return "Specifies that the unbiased auto-correlation to be computed.";
  }
}

const Caption kTransformDialogCaption = {"TransformsOpt", "Transformation options", "Параметры преобразований"};
std::span<const Caption> TransformCaptions() { return kCaptions; }
std::span<const Caption> TransformFixedCaptions() { return kFixedCaptions; }
const char* const kLmsTabs[2] = {"Main", "Addition"};

const char* TransformCaptionOf(const char* name) {
  for (const Caption& c : kCaptions) {
    if (std::strcmp(c.name, name) == 0) return c.english;
  }
  for (const Caption& c : kFixedCaptions) {
    if (std::strcmp(c.name, name) == 0) return c.english;
  }
  return "";
}

std::span<const FlagBox> FftFlagBoxes() { return kFlagBoxes; }

int32_t DesignFlagBoxes() {
  int32_t checked = 0;
  for (const FlagBox& box : kFlagBoxes) {
    if (box.checked) checked |= box.value;
  }
  return checked;
}

uint32_t EnableSetOf(std::initializer_list<int> numbers) {
  uint32_t set = 0;
  for (int n : numbers) {
    if (n >= 0 && n < 32) set |= 1u << n;
  }
  return set;
}

int32_t EnabledFlagBoxes(uint32_t set) {
  const auto has = [set](int n) { return (set & (1u << n)) != 0; };
  int32_t enabled = 0;
  // Number 0 would enable Forward and Inverse, but number 1 decides them again.
  if (has(1)) enabled |= kFlagForward | kFlagInverse | kFlagInit | kFlagNoScale;
  if (has(2)) enabled |= kFlagNoBitRev | kFlagInBitRev | kFlagOutBitRev;
  if (has(3)) enabled |= kFlagOutRcPack | kFlagOutRcPerm;
  if (has(4)) enabled |= kFlagInRcPack | kFlagInRcPerm;
  return enabled;
}

int32_t FlagBoxesAfterClick(int32_t checked, int32_t box) {
  const bool on = (checked & box) != 0;
  switch (box) {
    case kFlagForward:
    case kFlagInit:
    case kFlagInverse:
      return (checked & ~(kFlagForward | kFlagInit | kFlagInverse)) | box;
    case kFlagNoBitRev:
      return on ? checked & ~kFlagInBitRev : checked;
    case kFlagInBitRev:
      return on ? checked & ~kFlagNoBitRev : checked;
    case kFlagOutBitRev:
      return on ? checked & ~(kFlagNoBitRev | kFlagInBitRev) : checked;
    case kFlagOutRcPack:
      return (checked & ~kFlagOutRcPerm) | kFlagOutRcPack;
    case kFlagOutRcPerm:
      return (checked & ~kFlagOutRcPack) | kFlagOutRcPerm;
    case kFlagInRcPack:
      return (checked & ~kFlagInRcPerm) | kFlagInRcPack;
    case kFlagInRcPerm:
      return (checked & ~kFlagInRcPack) | kFlagInRcPerm;
    default:
      return checked;
  }
}

int32_t SnapSamplingFactor(int32_t value, int32_t previous, int32_t signalLength, bool upSample) {
  value = std::min(value, signalLength);
  int32_t i = value;
  if (!upSample && value > 0) {
    if (value >= previous) {
      while (i < signalLength && signalLength % i != 0) ++i;
    } else {
      while (i > 1 && signalLength % i != 0) --i;
    }
  }
  return i;
}

int32_t LimitSamplingPhase(int32_t phase, int32_t factor) { return phase >= factor ? factor - 1 : phase; }

int32_t LimitBitReverseOrder(int32_t order, int32_t signalLength) {
  int32_t halvings = 0;
  for (int32_t n = signalLength; n > 0 && n % 2 == 0; n /= 2) ++halvings;
  return std::max(1, std::min(order, halvings));
}

std::optional<int32_t> NumPointsForDownFactor(int32_t numPoints, int32_t signalLength, int32_t factor) {
  if (factor <= 0 || numPoints <= signalLength / factor) return std::nullopt;
  return FitInteger("Num_Points", signalLength / factor);
}

int32_t FirDownFactorMaximum(int32_t signalLength) { return std::max(1, signalLength / 3); }

int32_t FirDownFactorMaximumForLength(int32_t signalLength) {
  const int32_t maximum = static_cast<int32_t>(FindNumberControl("Num_Points")->maximum);
  return signalLength > 0 ? std::max(1, maximum / signalLength) : 1;
}

TransformControls DesignControls() {
  TransformControls c;
  const auto number = [](const char* name) { return FindNumberControl(name)->value; };
  const auto integer = [&](const char* name) { return static_cast<int32_t>(number(name)); };
  c.numPoints = integer("Num_Points");
  c.flagsChecked = DesignFlagBoxes();
  c.winAlpha = number("Win_Alpha");
  c.winBeta = number("Win_Beta");
  c.windowLen = integer("WindowLen");
  c.goertzelFrequency = number("Goertzel_Frequency");
  c.samplFactor = integer("Sampl_Factor");
  c.samplPhase = integer("Sampl_Phase");
  c.corrLags = integer("Corr_nLags");
  c.corrType = FindComboControl("corrType")->selected;
  c.bitRevOrder = integer("BitRev_Order");
  c.threshParam = number("Thresh_param");
  c.threshRelOpIndex = FindComboControl("Thresh_RelOp")->selected;
  c.threshRelOp = ThreshRelOpOfText(FindComboControl("Thresh_RelOp")->items[static_cast<size_t>(c.threshRelOpIndex)]);
  c.userFunc = DesignTextOf("User_func");
  c.basisFunc = DesignTextOf("Basis_func");
  c.lmsFormula = DesignTextOf("LMSS_Formula");
  c.addSubCoef = number("Add_Sub_coef");
  c.mpyDivCoef = number("Mpy_Div_coef");
  c.convTaps = DesignTextOf("Conv_H_12D");
  c.firTaps = DesignTextOf("FIRS_Taps");
  c.firDelay = DesignTextOf("FIRS_Delay");
  c.iirTaps = DesignTextOf("IIRS_Taps");
  c.iirDelay = DesignTextOf("IIRS_Delay");
  c.lmsTaps = DesignTextOf("LMSS_Taps");
  c.lmsDelay = DesignTextOf("LMSS_Delay");
  c.firUpFactor = integer("FIRH_UpFactor");
  c.firUpPhase = integer("FIRH_UpPhase");
  c.firDownFactor = integer("FIRH_DownFactor");
  c.firDownPhase = integer("FIRH_DownPhase");
  c.iirType = FindComboControl("IIRS_Type")->selected;
  c.lmsType = FindComboControl("LMSS_Type")->selected;
  c.lmsStep = number("LMSS_Step");
  c.lmsLeak = number("LMSS_Leak");
  c.lmsErrDly = integer("LMSS_ErrDly");
  c.lmsDownFactor = integer("LMSS_DwnFactor");
  c.lmsDownPhase = integer("LMSS_DwnPhase");
  return c;
}

bool ShowsSignalLength(int32_t group) { return group != tgArithmetic && group != tgFilters; }

void TransformRecordToControls(const TransformParams& r, TransformControls& c, TransformParams& working) {
  const auto fit = [](const char* name, double value) { return FitNumber(*FindNumberControl(name), value); };
  // The stored length, not the design value, so reopening keeps it.
  c.numPoints = FitInteger("Num_Points", r.SignalLength > 0 ? r.SignalLength : 102);
  working.SignalLength = c.numPoints;
  if (r.FftFlags != 0) c.flagsChecked = r.FftFlags & (kFlagInRcPerm * 2 - 1);
  c.samplFactor = FitInteger("Sampl_Factor", r.SamplFactor);
  c.samplPhase = FitInteger("Sampl_Phase", r.SamplPhase);
  c.corrLags = FitInteger("Corr_nLags", r.CorrLags);
  if (r.CorrType <= 2) c.corrType = r.CorrType;
  working.CorrType = static_cast<uint8_t>(c.corrType);
  c.bitRevOrder = FitInteger("BitRev_Order", r.BitRevOrder);
  c.winAlpha = fit("Win_Alpha", r.WinAlpha);
  c.winBeta = fit("Win_Beta", r.WinBeta);
  c.threshParam = fit("Thresh_param", r.ThreshParam);
  c.threshRelOp = r.ThreshRelOp;
  // The stored operator is shown: 1 "greater than", 0 "less than".
  if (r.ThreshRelOp == 0 || r.ThreshRelOp == 1) c.threshRelOpIndex = r.ThreshRelOp == 1 ? 0 : 1;
  c.userFunc = TextOf(r.UserFunc.View());
  c.basisFunc = TextOf(r.BasisFunc.View());
  working.ConvTapsCount = ClampListCount(r.ConvTapsCount);
  std::memcpy(working.ConvTaps, r.ConvTaps, sizeof working.ConvTaps);
  c.convTaps = FormatList(working.ConvTaps, working.ConvTapsCount);
  c.addSubCoef = fit("Add_Sub_coef", r.AddSubCoef);
  c.mpyDivCoef = fit("Mpy_Div_coef", r.MpyDivCoef);
  c.goertzelFrequency = fit("Goertzel_Frequency", r.GoertzelFrequency);
}

TransformParams ControlsToTransformRecord(const TransformControls& c, const TransformParams& source,
                                          const TransformParams& working, int32_t dialogCode, int32_t flags) {
  dialogCode = StoredDialogCode(dialogCode);
  alignas(8) TransformParams r = source;
  r.TransformCode = CatalogueCodeOfDialogCode(dialogCode);
  r.FftFlags = flags;
  r.CorrLags = c.corrLags;
  r.CorrType = static_cast<uint8_t>(c.corrType);
  r.BitRevOrder = c.bitRevOrder;
  r.WinAlpha = static_cast<float>(c.winAlpha);
  r.WinBeta = static_cast<float>(c.winBeta);
  r.ThreshParam = c.threshParam;
  r.ThreshRelOp = c.threshRelOp;
  r.SamplFactor = c.samplFactor;
  r.SamplPhase = c.samplPhase;
  const std::string user = c.userFunc.substr(0, kRecordTextLength);
  r.UserFunc.Set(dialogCode == 33 ? FormulaLowerCase(user) : user);
  const std::string basis = c.basisFunc.substr(0, kRecordTextLength);
  r.BasisFunc.Set(dialogCode == 80 || dialogCode == 81 ? FormulaLowerCase(basis) : basis);
  r.ConvTapsCount = ClampListCount(working.ConvTapsCount);
  std::memcpy(r.ConvTaps, working.ConvTaps, sizeof r.ConvTaps);
  r.AddSubCoef = c.addSubCoef;
  r.MpyDivCoef = c.mpyDivCoef;
  r.GoertzelFrequency = static_cast<float>(c.goertzelFrequency);
  r.SignalLength = c.numPoints;
  return r;
}

void FilterRecordToControls(const FilterParams& r, TransformControls& c, FilterParams& working) {
  working = r;
  // Counts beyond the lists would read past them.
  working.FirTapsCount = ClampListCount(working.FirTapsCount);
  working.IirTapsCount = ClampListCount(working.IirTapsCount);
  working.LmsTapsCount = ClampListCount(working.LmsTapsCount);
  c.firTaps = FormatList(working.FirTaps, working.FirTapsCount);
  c.firDelay = FormatList(working.FirDelay, working.FirTapsCount);
  c.iirTaps = FormatList(working.IirTaps, working.IirTapsCount);
  c.iirDelay = FormatList(working.IirDelay, working.IirTapsCount);
  c.lmsTaps = FormatList(working.LmsTaps, working.LmsTapsCount);
  c.lmsDelay = FormatList(working.LmsDelay, working.LmsTapsCount);
  // Every stored setting is shown, so OK after reopening keeps it.
  c.firUpFactor = FitInteger("FIRH_UpFactor", r.FirUpFactor);
  c.firDownFactor = FitInteger("FIRH_DownFactor", r.FirDownFactor);
  c.firUpPhase = FitInteger("FIRH_UpPhase", r.FirUpPhase, std::nullopt, PhaseMaximum(c.firUpFactor));
  c.firDownPhase = FitInteger("FIRH_DownPhase", r.FirDownPhase, std::nullopt, PhaseMaximum(c.firDownFactor));
  c.firMultiRate = r.FirMultiRate != 0;
  if (r.IirType >= 0 && r.IirType < static_cast<int32_t>(std::size(kIirTypes))) c.iirType = r.IirType;
  c.iirBiquads = r.IirBiquad != 0;
  if (r.LmsType >= 0 && r.LmsType < static_cast<int32_t>(std::size(kIirTypes))) c.lmsType = r.LmsType;
  c.lmsStep = FitNumber(*FindNumberControl("LMSS_Step"), r.LmsStep);
  c.lmsLeak = FitNumber(*FindNumberControl("LMSS_Leak"), r.LmsLeak);
  c.lmsErrDly = FitInteger("LMSS_ErrDly", r.LmsErrDly);
  c.lmsDownFactor = FitInteger("LMSS_DwnFactor", r.LmsDownFactor);
  c.lmsDownPhase = FitInteger("LMSS_DwnPhase", r.LmsDownPhase, std::nullopt, PhaseMaximum(c.lmsDownFactor));
  c.lmsMultiRate = r.LmsMultiRate != 0;
  c.lmsAdaptive = r.LmsAdaptive != 0;
}

FilterParams ControlsToFilterRecord(const TransformControls& c, const FilterParams& working, int32_t dialogCode) {
  alignas(8) FilterParams r = working;
  r.TransformCode = CatalogueCodeOfDialogCode(StoredDialogCode(dialogCode));
  r.FirUpFactor = c.firUpFactor;
  r.FirUpPhase = c.firUpPhase;
  r.FirDownFactor = c.firDownFactor;
  r.FirDownPhase = c.firDownPhase;
  r.FirMultiRate = c.firMultiRate ? 1 : 0;
  r.IirType = c.iirType;
  r.IirBiquad = c.iirBiquads ? 1 : 0;
  r.LmsMultiRate = c.lmsMultiRate ? 1 : 0;
  r.LmsType = c.lmsType;
  r.LmsStep = static_cast<float>(c.lmsStep);
  r.LmsLeak = static_cast<float>(c.lmsLeak);
  r.LmsErrDly = c.lmsErrDly;
  r.LmsDownFactor = c.lmsDownFactor;
  r.LmsDownPhase = c.lmsDownPhase;
  r.LmsAdaptive = c.lmsAdaptive ? 1 : 0;
  return r;
}

int32_t PreselectedTransformCode(int32_t dialogCode, int32_t recordGroup, const TransformParams& record) {
  return recordGroup == dialogCode ? DialogCodeOfCatalogueCode(record.TransformCode) : dialogCode;
}

int32_t PreselectedFilterCode(const FilterParams& record) {
  return StoredDialogCode(DialogCodeOfCatalogueCode(record.TransformCode));
}

std::string TransformTypeOf(const std::string& typeName) { return typeName.substr(0, typeName.find('_')); }

void ReadStoredRecord(const std::vector<uint8_t>& data, std::vector<uint8_t>& stored, TransformParams& transform,
                      FilterParams& filter) {
  if (data.size() == sizeof(TransformParams)) {
    std::memcpy(&transform, data.data(), sizeof transform);
    stored = data;
  } else if (data.size() == sizeof(FilterParams)) {
    std::memcpy(&filter, data.data(), sizeof filter);
    stored = data;
  }
}

std::vector<uint8_t> RecordBytes(const TransformParams& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return std::vector<uint8_t>(bytes, bytes + sizeof record);
}

std::vector<uint8_t> RecordBytes(const FilterParams& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return std::vector<uint8_t>(bytes, bytes + sizeof record);
}

std::vector<uint8_t> ResultRecord(const std::vector<uint8_t>& stored, const std::vector<uint8_t>& shown,
                                  std::vector<uint8_t> now) {
  if (!stored.empty() && now == shown) return stored;
  return now;
}

std::optional<CoefficientList> ListOfField(const char* name) {
  for (const ListField& f : kListFields) {
    if (std::strcmp(f.name, name) == 0) return f.list;
  }
  return std::nullopt;
}

float* ListEntries(CoefficientList list, TransformParams& t, FilterParams& f) {
  switch (list) {
    case CoefficientList::ConvTaps:
      return t.ConvTaps;
    case CoefficientList::FirTaps:
      return f.FirTaps;
    case CoefficientList::FirDelay:
      return f.FirDelay;
    case CoefficientList::IirTaps:
      return f.IirTaps;
    case CoefficientList::IirDelay:
      return f.IirDelay;
    case CoefficientList::LmsTaps:
      return f.LmsTaps;
    case CoefficientList::LmsDelay:
      return f.LmsDelay;
  }
  return t.ConvTaps;
}

int32_t& ListCount(CoefficientList list, TransformParams& t, FilterParams& f) {
  switch (list) {
    case CoefficientList::ConvTaps:
      return t.ConvTapsCount;
    case CoefficientList::FirTaps:
    case CoefficientList::FirDelay:
      return f.FirTapsCount;
    case CoefficientList::IirTaps:
    case CoefficientList::IirDelay:
      return f.IirTapsCount;
    case CoefficientList::LmsTaps:
    case CoefficientList::LmsDelay:
      return f.LmsTapsCount;
  }
  return t.ConvTapsCount;
}

ListEditPlan PlanListEdit(CoefficientList list, const TransformParams& transform, const FilterParams& filter,
                          bool iirBiquads, int32_t firUpFactor) {
  ListEditPlan plan;
  switch (list) {
    case CoefficientList::ConvTaps:
      plan.shown = transform.ConvTapsCount;
      break;
    case CoefficientList::FirTaps:
      plan.shown = filter.FirTapsCount;
      break;
    case CoefficientList::FirDelay:
      plan.shown = filter.FirMultiRate != 0 ? filter.FirTapsCount / std::max(1, firUpFactor) : filter.FirTapsCount - 1;
      break;
    case CoefficientList::IirTaps:
      plan.shown = filter.IirTapsCount;
      plan.minimumColumns = iirBiquads ? 6 : 2;
      break;
    case CoefficientList::IirDelay:
      plan.shown = filter.IirTapsCount;
      break;
    case CoefficientList::LmsTaps:
    case CoefficientList::LmsDelay:
      plan.shown = filter.LmsTapsCount;
      break;
  }
  plan.shown = ClampListCount(plan.shown);
  return plan;
}

void FinishListEdit(CoefficientList list, TransformParams& transform, FilterParams& filter, const ListEditPlan& plan,
                    int32_t read, int32_t firUpFactor) {
  read = ClampListCount(read);
  int32_t& count = ListCount(list, transform, filter);
  if (list != CoefficientList::FirDelay) {
    count = read;
    return;
  }
  // The delay line is shorter than the taps list whose count it shares.
  if (read != plan.shown) {
    const bool multiRate = filter.FirMultiRate != 0;
    count = ClampListCount(multiRate ? read * std::max(1, firUpFactor) : read + 1);
  }
}
