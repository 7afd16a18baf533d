// The controls of the generator dialog, once for both front ends: the pages,
// and on each the controls in row order with their editor, range, record
// field and label. The names are spelled here once: code names a control
// with `"Name"_ctl` under `using namespace generator_controls`, checked
// against these tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "ControlName.h"
#include "numeric/RecordSchema.h"

// Pages in order; the page index is the generator kind for kinds 0..10, and
// kinds 11..15 share the windowing page.
enum GeneratorPage : int32_t {
  gpFunc,
  gpSine,
  gpModSine,
  gpRandom,
  gpConstant,
  gpTone,
  gpTriangle,
  gpUniRandom,
  gpGaussian,
  gpBlackMan,
  gpKaiser,
  gpWindowing,
  kGeneratorPageCount
};
inline constexpr int32_t kWindowTypeCount = 5;
// Page object names, by page index.
inline constexpr const char* kGeneratorPageNames[kGeneratorPageCount] = {
    "Func",     "Sine",      "ModSine",  "Random",   "Constant", "Tone",
    "Triangle", "UniRandom", "Gaussian", "BlackMan", "Kaiser",   "Windowing"};
// The Wind_type items; item i is kind 11 + i.
inline constexpr const char* kWindowTypeNames[kWindowTypeCount] = {"Bartlett", "Hann", "Hamming", "BlackmanStd",
                                                                   "BlackmanOpt"};

// How a control edits its value, and where the value goes in the record.
enum class GeneratorEditor { Text, Delay, IntSpin, RealSpin, Radio, Combo };
enum class GeneratorField { None, Int64, Real, Byte, Text };

struct GeneratorControl {
  const char* name;
  int32_t page;
  const char* label;  // the label left of it, nullptr for none
  GeneratorEditor editor;
  double min, max, step;
  int32_t decimals;  // of a real spin
  GeneratorField field;
  size_t offset;     // in the 296-byte record
  const char* hint;  // tool tip, nullptr for none
};
namespace generator_layout {

using E = GeneratorEditor;
using F = GeneratorField;

inline constexpr const char* kPhaseHint = "0<= phase <= 2*PI";

// A control bound to a generator record field: its range and its place in
// the record come from the record schema.
consteval GeneratorControl Bound(const char* name, int32_t page, const char* label, GeneratorEditor editor,
                                 const char* field, double step, int32_t decimals, GeneratorField kind,
                                 const char* hint) {
  const RecordField& f = RecordFieldNamed(RecordKind::Generator, field);
  const bool ranged = f.HasControl();
  return {name,     page, label,    editor, ranged ? f.controlMin : 0, ranged ? f.controlMax : 0, step,
          decimals, kind, f.offset, hint};
}

// Every control in page order and, inside a page, in row order (the order
// of the rows and of the Win32 ids).
inline constexpr GeneratorControl kControls[] = {
    Bound("Func_Str", gpFunc, "Func_lab", E::Text, "Formula", 0, 0, F::Text, nullptr),
    Bound("FSinePeriod", gpSine, "Period_lab", E::Delay, "SinePeriod", 1, 0, F::Int64, nullptr),
    Bound("FSineAmp", gpSine, "Amplitude_lab", E::IntSpin, "SineAmp", 1, 0, F::Int64, nullptr),
    Bound("FModMainTone", gpModSine, "TonePeriod_lab", E::Delay, "ModMainTone", 1, 0, F::Int64, nullptr),
    Bound("FModSinePeriod", gpModSine, "SinePeriod_lab", E::Delay, "ModSinePeriod", 1, 0, F::Int64, nullptr),
    Bound("FModSineAmp", gpModSine, "Amp2_lab", E::IntSpin, "ModSineAmp", 1, 0, F::Int64, nullptr),
    Bound("isSingle", gpModSine, nullptr, E::Radio, "IsSingle", 1, 0, F::Byte, nullptr),
    // The other radio button of the pair: selected when isSingle is not.
    {"RadioButton2", gpModSine, nullptr, E::Radio, 0, 1, 1, 0, F::None, 0, nullptr},
    Bound("FMaxValue", gpRandom, "Max_lab", E::IntSpin, "MaxValue", 1, 0, F::Real, nullptr),
    Bound("FMinValue", gpRandom, "Min_lab", E::IntSpin, "MinValue", 1, 0, F::Real, nullptr),
    Bound("FConstant", gpConstant, "Value_lab", E::IntSpin, "ConstantValue", 1, 0, F::Real, nullptr),
    Bound("FTone_rFreq", gpTone, "Freq_lab", E::RealSpin, "ToneRelFreq", 0.005, 10, F::Real, nullptr),
    Bound("FTone_Mag", gpTone, "Mag_lab", E::IntSpin, "ToneMag", 1, 0, F::Real, nullptr),
    Bound("FTone_phase", gpTone, "Phase_lab", E::IntSpin, "TonePhase", 1, 0, F::Real, kPhaseHint),
    Bound("FToneInitValue", gpTone, "Init_lab", E::IntSpin, "ToneInitValue", 1, 0, F::Real, nullptr),
    Bound("FTrngl_rFreq", gpTriangle, "Freq2_lab", E::RealSpin, "TrnglRelFreq", 0.01, 11, F::Real, nullptr),
    Bound("FTrngl_Phase", gpTriangle, "Phase2_lab", E::IntSpin, "TrnglPhase", 1, 0, F::Real, kPhaseHint),
    Bound("FTrngl_ASym", gpTriangle, "Asym_lab", E::IntSpin, "TrnglASym", 1, 0, F::Real, "-Pi <= asymmetry <= P"),
    Bound("FTrngl_Mag", gpTriangle, "Mag2_lab", E::IntSpin, "TrnglMag", 1, 0, F::Real, nullptr),
    Bound("FTrnglInitValue", gpTriangle, "Init2_lab", E::IntSpin, "TrnglInitValue", 1, 0, F::Real, nullptr),
    Bound("FHigh", gpUniRandom, "High_lab", E::IntSpin, "High", 1, 0, F::Real, nullptr),
    Bound("FLow", gpUniRandom, "Low_lab", E::IntSpin, "Low", 1, 0, F::Real, nullptr),
    Bound("FMean", gpGaussian, "Mean_lab", E::IntSpin, "Mean", 1, 0, F::Real, nullptr),
    Bound("FStDev", gpGaussian, "StDev_Lab", E::IntSpin, "StDev", 1, 0, F::Real, nullptr),
    Bound("FAlpha", gpBlackMan, "Alpha_Label", E::RealSpin, "Alpha", 1, 2, F::Int64, nullptr),
    Bound("FBlackInitValue", gpBlackMan, "Init3_lab", E::IntSpin, "BlackAmp", 1, 0, F::Int64, nullptr),
    Bound("BlackLen", gpBlackMan, "BlackLen_lab", E::IntSpin, "BlackLen", 1, 0, F::Int64, nullptr),
    Bound("FBeta", gpKaiser, "Beta_lab", E::RealSpin, "Beta", 1, 2, F::Int64, nullptr),
    Bound("FKaiserInitValue", gpKaiser, "Init4_lab", E::IntSpin, "KaiserAmp", 1, 0, F::Int64, nullptr),
    Bound("KaiserLen", gpKaiser, "KaiserLen_lab", E::IntSpin, "KaiserLen", 1, 0, F::Int64, nullptr),
    {"Wind_type", gpWindowing, "WinType_lab", E::Combo, 0, kWindowTypeCount - 1, 1, 0, F::None, 0, nullptr},
    Bound("FInitValue", gpWindowing, "Init5_lab", E::IntSpin, "WindowAmp", 1, 0, F::Int64, nullptr),
    Bound("WindowLen", gpWindowing, "WindowLen_lab", E::IntSpin, "WindowLen", 1, 0, F::Int64, nullptr),
};

// The controls around the pages, in the order of their Win32 ids; the form
// and its buttons (IDOK, IDCANCEL, IDHELP there) come last.
inline constexpr const char* kFrameControls[] = {"PageControl1", "BitBtn1", "ViewBtn",   "GroupBox1", "Chart",
                                                 "GenersForm",   "OKBtn",   "CancelBtn", "HelpBtn"};

}  // namespace generator_layout

constexpr std::span<const GeneratorControl> GeneratorControls() { return generator_layout::kControls; }
// The index of a control in GeneratorControls(), -1 for an unknown name.
constexpr int32_t GeneratorControlIndex(std::string_view name) {
  return ListedIndex(generator_layout::kControls, name, [](const GeneratorControl& c) { return c.name; });
}
const GeneratorControl* FindGeneratorControl(std::string_view name);

constexpr bool IsGeneratorControl(std::string_view name) {
  using namespace generator_layout;
  const auto self = [](const char* n) { return n; };
  if (GeneratorControlIndex(name) >= 0 || ListedIndex(kGeneratorPageNames, name, self) >= 0 ||
      ListedIndex(kFrameControls, name, self) >= 0)
    return true;
  for (const GeneratorControl& c : kControls)
    if (c.label != nullptr && name == c.label) return true;
  return false;
}

namespace generator_controls {
consteval ControlName operator""_ctl(const char* name, size_t size) {
  return CheckedControl({name, size}, IsGeneratorControl({name, size}));
}
}  // namespace generator_controls

// The row of a control named when compiling; a name without a row in the
// table does not compile.
consteval size_t GeneratorRow(std::string_view name) {
  const int32_t i = GeneratorControlIndex(name);
  if (i < 0) throw "no generator control of this name";
  return static_cast<size_t>(i);
}
