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

constexpr NumberControl kNumbers[] = {
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

constexpr TextControl kTexts[] = {
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

constexpr const char* kCorrTypes[] = {"NSP_AutoNormal", "NSP_AutoBiased", "NSP_AutoUnBiased"};
constexpr const char* kRelOps[] = {"NSP_GT", "NSP_LT"};
constexpr int32_t kRelOpValues[] = {1, 0};
constexpr const char* kIirTypes[] = {"IIR Null", "IIR Defaulf"};
constexpr ComboControl kCombos[] = {
    {"corrType", kCorrTypes, 1},
    {"Thresh_RelOp", kRelOps, 0, kRelOpValues},
    {"IIRS_Type", kIirTypes, 0},
    {"LMSS_Type", kIirTypes, 0},
};

constexpr Caption kCaptions[] = {
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
constexpr Caption kFixedCaptions[] = {
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

constexpr FlagBox kFlagBoxes[] = {
    {"Ck_Forw", kFlagForward, true},         {"Ck_Inv", kFlagInverse, false},
    {"Ck_Init", kFlagInit, false},           {"Ck_NoScale", kFlagNoScale, false},
    {"Ck_NoBitRev", kFlagNoBitRev, false},   {"Ck_InBitRev", kFlagInBitRev, false},
    {"Ck_OutBitRev", kFlagOutBitRev, false}, {"CK_OutRCPack", kFlagOutRcPack, true},
    {"CK_OutRCPerm", kFlagOutRcPerm, false}, {"CK_InRCPack", kFlagInRcPack, true},
    {"CK_InRCPerm", kFlagInRcPerm, false},
};

constexpr ListField kListFields[] = {
    {"Conv_H_12D", CoefficientList::ConvTaps}, {"FIRS_Taps", CoefficientList::FirTaps},
    {"FIRS_Delay", CoefficientList::FirDelay}, {"IIRS_Taps", CoefficientList::IirTaps},
    {"IIRS_Delay", CoefficientList::IirDelay}, {"LMSS_Taps", CoefficientList::LmsTaps},
    {"LMSS_Delay", CoefficientList::LmsDelay},
};

// A control bound to the record field of its own name: both names are
// checked when compiling.
consteval ControlBinding Bind(RecordKind record, const char* name, BoundAs as, bool rulesWhenShown = false,
                              const char* phaseOf = nullptr) {
  if (!IsTransformControl(name)) throw "a bound field needs a control of its name";
  if (phaseOf != nullptr && !IsTransformControl(phaseOf)) throw "a phase follows a factor control";
  return {record, RecordFieldIndex(record, name), as, rulesWhenShown, phaseOf};
}
constexpr bool kRules = true;
using enum BoundAs;

const ControlBinding kBindings[] = {
    Bind(InTransform, "Num_Points", Number, kRules),
    // Shown as stored: the factor, phase and order rules run when the user edits them.
    Bind(InTransform, "Sampl_Factor", Number),
    Bind(InTransform, "Sampl_Phase", Number),
    Bind(InTransform, "Corr_nLags", Number),
    Bind(InTransform, "corrType", Item),
    Bind(InTransform, "BitRev_Order", Number),
    Bind(InTransform, "Win_Alpha", Number),
    Bind(InTransform, "Win_Beta", Number),
    Bind(InTransform, "Thresh_param", Number),
    Bind(InTransform, "Thresh_RelOp", Item),
    Bind(InTransform, "User_func", Text),
    Bind(InTransform, "Basis_func", Text),
    Bind(InTransform, "Conv_H_12D", List),
    Bind(InTransform, "Add_Sub_coef", Number),
    Bind(InTransform, "Mpy_Div_coef", Number),
    Bind(InTransform, "Goertzel_Frequency", Number),

    Bind(InFilter, "FIRS_Taps", List),
    Bind(InFilter, "FIRS_Delay", List),
    Bind(InFilter, "IIRS_Taps", List),
    Bind(InFilter, "IIRS_Delay", List),
    Bind(InFilter, "LMSS_Taps", List),
    Bind(InFilter, "LMSS_Delay", List),
    Bind(InFilter, "FIRH_UpFactor", Number, kRules),
    Bind(InFilter, "FIRH_DownFactor", Number, kRules),
    Bind(InFilter, "FIRH_UpPhase", Number, false, "FIRH_UpFactor"),
    Bind(InFilter, "FIRH_DownPhase", Number, false, "FIRH_DownFactor"),
    // Never shown: its box is not opened by a stored record.
    Bind(InFilter, "isMulti_Rate", Check),
    Bind(InFilter, "IIRS_Type", Item),
    Bind(InFilter, "IIRS_isBiquads", Check),
    Bind(InFilter, "LMSS_Type", Item),
    Bind(InFilter, "LMSS_Step", Number),
    Bind(InFilter, "LMSS_Leak", Number),
    Bind(InFilter, "LMSS_ErrDly", Number),
    Bind(InFilter, "LMSS_DwnFactor", Number, kRules),
    Bind(InFilter, "LMSS_DwnPhase", Number, false, "LMSS_DwnFactor"),
    Bind(InFilter, "LMSH_isMulti", Check, kRules),
    Bind(InFilter, "LMSS_isAdaptB", Check),
};

template <typename T>
T FieldAt(const std::vector<uint8_t>& bytes, const RecordField& field) {
  T value{};
  std::memcpy(&value, bytes.data() + field.offset, sizeof value);
  return value;
}

bool Doomed(int32_t code, int32_t dialogCode, bool groupMode, int32_t group) {
  if (groupMode) return IsGroupDialogCode(code) && code != group;
  return code != dialogCode && (code < 0 || !IsGroupDialogCode(code) || code != group);
}

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

const NumberControl* FindNumberControl(std::string_view name) {
  for (const NumberControl& c : kNumbers) {
    if (name == c.name) return &c;
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

int32_t FitInteger(std::string_view name, double value, std::optional<double> minimum, std::optional<double> maximum) {
  const NumberControl* control = FindNumberControl(name);
  if (control == nullptr) return static_cast<int32_t>(std::clamp<double>(value, INT32_MIN, INT32_MAX));
  return static_cast<int32_t>(FitNumber(*control, value, minimum, maximum));
}

std::span<const TextControl> TransformTextControls() { return kTexts; }

const char* DesignTextOf(std::string_view name) {
  for (const TextControl& t : kTexts) {
    if (name == t.name) return t.text;
  }
  return "";
}

std::span<const ComboControl> TransformComboControls() { return kCombos; }

const ComboControl* FindComboControl(std::string_view name) {
  for (const ComboControl& c : kCombos) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

int32_t ComboValue(const ComboControl& combo, int32_t index) {
  const auto count = static_cast<int32_t>(combo.items.size());
  if (index < 0 || index >= count) index = count - 1;
  return combo.values.empty() ? index : combo.values[static_cast<size_t>(index)];
}

int32_t ComboItemOf(const ComboControl& combo, int32_t value) {
  for (int32_t i = 0; i < static_cast<int32_t>(combo.items.size()); ++i) {
    if (ComboValue(combo, i) == value) return i;
  }
  return -1;
}

const char* const kBitRevOrderHint = "The number of bits of the input word to be reversed.";
const char* const kThreshParamHint = "A value the lower bound of which is used to limit each element of src[n].";

const char* ThreshRelOpHint(int32_t tag) {
  return tag == 1 ? "Specifies the “greater-then” operator and thresh is an upper bound."
                  : "Specifies the “less-then” operator and thresh is a lower bound.";
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
static_assert(AllNameControls(kCaptions, IsTransformControl) && AllNameControls(kFixedCaptions, IsTransformControl));
static_assert(AllNameControls(kNumbers, IsTransformControl) && AllNameControls(kTexts, IsTransformControl) &&
              AllNameControls(kCombos, IsTransformControl) && AllNameControls(kFlagBoxes, IsTransformControl) &&
              AllNameControls(kListFields, IsTransformControl));

std::span<const Caption> TransformCaptions() { return kCaptions; }
std::span<const Caption> TransformFixedCaptions() { return kFixedCaptions; }
const char* const kLmsTabs[2] = {"Main", "Addition"};

const char* TransformCaptionOf(std::string_view name) {
  for (const Caption& c : kCaptions) {
    if (name == c.name) return c.english;
  }
  for (const Caption& c : kFixedCaptions) {
    if (name == c.name) return c.english;
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

const RecordField& ControlBinding::Field() const { return record_schema::kFields[field]; }

std::span<const ControlBinding> TransformBindings() { return kBindings; }

std::optional<std::string> NonFiniteField(RecordKind record, const std::vector<uint8_t>& bytes) {
  alignas(8) TransformParams transform{};
  alignas(8) FilterParams filter{};
  if (record == RecordKind::Transform && bytes.size() == sizeof transform) {
    std::memcpy(&transform, bytes.data(), sizeof transform);
  } else if (record == RecordKind::Filter && bytes.size() == sizeof filter) {
    std::memcpy(&filter, bytes.data(), sizeof filter);
  } else {
    return std::nullopt;
  }
  for (const ControlBinding& b : kBindings) {
    if (b.record != record) continue;
    const RecordField& f = b.Field();
    if (b.as == BoundAs::List) {
      const CoefficientList list = *ListOfField(f.name);
      const float* entries = ListEntries(list, transform, filter);
      const int32_t count = ClampListCount(ListCount(list, transform, filter));
      for (int32_t i = 0; i < count; ++i)
        if (!std::isfinite(entries[i])) return std::string(f.name) + "[" + std::to_string(i) + "]";
    } else if ((f.type == FieldType::Float32 && !std::isfinite(FieldAt<float>(bytes, f))) ||
               (f.type == FieldType::Float64 && !std::isfinite(FieldAt<double>(bytes, f)))) {
      return std::string(f.name);
    }
  }
  return std::nullopt;
}

bool ShowsSignalLength(int32_t group) { return group != tgArithmetic && group != tgFilters; }

bool LowerCasesFormula(std::string_view control, int32_t dialogCode) {
  using namespace transform_controls;
  if (control == "User_func"_ctl) return dialogCode == DialogCodeOfCatalogueCode(ccAnyFunc);
  return control == "Basis_func"_ctl && (dialogCode == DialogCodeOfCatalogueCode(ccForwardUserTrans) ||
                                         dialogCode == DialogCodeOfCatalogueCode(ccInverseUserTrans));
}

int32_t PreselectedTransformCode(int32_t dialogCode, int32_t recordGroup, int32_t recordCatalogueCode) {
  return recordGroup == dialogCode ? DialogCodeOfCatalogueCode(recordCatalogueCode) : dialogCode;
}

int32_t PreselectedFilterCode(int32_t recordCatalogueCode) {
  return StoredDialogCode(DialogCodeOfCatalogueCode(recordCatalogueCode));
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

std::optional<CoefficientList> ListOfField(std::string_view name) {
  for (const ListField& f : kListFields) {
    if (name == f.name) return f.list;
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
