#include "GeneratorDialogLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/Errors.h"
#include "numeric/RecordSchema.h"
#include "numeric/Rounding.h"

namespace {

using E = GeneratorEditor;
using F = GeneratorField;
using generator_layout::kControls;

constexpr Caption kCaptions[] = {
    {"Func", "User's Function", "Функция F(t)"},
    {"Sine", "Sine", "Синус"},
    {"ModSine", "Modulated sine", "Мод. синус"},
    {"Random", "Random", "Случайный"},
    {"Constant", "Constant", "Константа"},
    {"Tone", "Tone", "Чистый Тон"},
    {"Triangle", "Triangle", "Треугольный"},
    {"UniRandom", "Uni Random", "Равномерный"},
    {"Gaussian", "Gaussian", "Гауссовский"},
    {"BlackMan", "BlackMan", "BlackMan"},
    {"Kaiser", "Kaiser", "Kaiser"},
    {"Windowing", "Windowing", "Оконные"},
    {"GroupBox1", "Range", "Пределы"},
    {"Func_lab", "Function F(t)", "Функция F(t)"},
    {"Amplitude_lab", "Amplitude", "Амплитуда"},
    {"Amp2_lab", "Amplitude", "Амплитуда"},
    {"Init3_lab", "Amplitude", "Амплитуда"},
    {"Init4_lab", "Amplitude", "Амплитуда"},
    {"Init5_lab", "Amplitude", "Амплитуда"},
    {"Period_lab", "Period", "Период"},
    {"TonePeriod_lab", "Main tone period", "Период основного тона"},
    {"SinePeriod_lab", "Sine period", "Период синусоиды"},
    {"isSingle", "Single impulse", "Одиночный импульс"},
    {"RadioButton2", "Periodic signal", "Периодический сигнал"},
    {"Max_lab", "Max", "Максимум"},
    {"Min_lab", "Min", "Минимум"},
    {"Value_lab", "Value", "Значение"},
    {"Freq_lab", "rFreqenty  ", "Частота "},
    {"Freq2_lab", "rFreqenty  ", "Частота "},
    {"Mag_lab", "Magnitude ", "Амплитуда "},
    {"Mag2_lab", "Magnitude ", "Амплитуда "},
    {"Phase_lab", "Phase ", "Фаза "},
    {"Phase2_lab", "Phase ", "Фаза "},
    {"Init_lab", "Init Value", "Иниц. Значение"},
    {"Init2_lab", "Init Value", "Иниц. Значение"},
    {"Asym_lab", "ASym ", "Асимметрия "},
    {"High_lab", "High ", "Максимум "},
    {"Low_lab", "Low", "Минимум"},
    {"Mean_lab", "Mean", "Мат. ожидание"},
    {"StDev_Lab", "stDev", "Дисперсия"},
    {"Alpha_Label", "Alpha", "Альфа"},
    {"Beta_lab", "Beta", "Бета"},
    {"WinType_lab", "Windowing     Type", "Тип окна"},
    {"WindowLen_lab", "Window Length", "Длина окна"},
    {"KaiserLen_lab", "Window Length", "Длина окна"},
    {"BlackLen_lab", "Window Length", "Длина окна"},
    {"ViewBtn", "Preview", "Просмотр"},
    {"BitBtn1", "Check", "Проверить"},
};

template <typename T>
T Read(const GeneratorParams& r, size_t offset) {
  T v;
  std::memcpy(&v, reinterpret_cast<const uint8_t*>(&r) + offset, sizeof v);
  return v;
}
template <typename T>
void Write(GeneratorParams& r, size_t offset, T v) {
  std::memcpy(reinterpret_cast<uint8_t*>(&r) + offset, &v, sizeof v);
}

// A record value as a spin shows it: in range, NaN at the minimum.
double ToSpin(const GeneratorControl& c, double v) {
  if (std::isnan(v)) return c.min;
  return std::clamp<double>(static_cast<double>(RoundHalfEven(v)), c.min, c.max);
}

// A real at the spin's decimals, as it reads back from the text it shows.
double ToRealSpin(const GeneratorControl& c, double v) {
  if (std::isnan(v)) return c.min;
  v = std::clamp(v, c.min, c.max);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", c.decimals, v);
  return std::clamp(std::strtod(text, nullptr), c.min, c.max);
}

}  // namespace

const Caption kGeneratorFormCaption = {"GenersForm", "Signal Generator Properties", "Свойства генераторов сигналов"};

GeneratorPageSetup GeneratorPagesOf(const std::string& blockTypeName, const DialogHooks& hooks) {
  GeneratorPageSetup s;
  const std::string typeName = blockTypeName.substr(0, blockTypeName.find('_'));
  const bool all = typeName == "All";
  int32_t kind = -1;
  if (all) {
    s.pageCode = gpModSine;
  } else {
    kind = hooks.generatorKindOf ? hooks.generatorKindOf(typeName) : -1;
    s.pageCode = kind;
  }
  s.pageCode = std::min<int32_t>(s.pageCode, gpWindowing);
  for (int32_t i = 0; i < kGeneratorPageCount; ++i) s.tabVisible[i] = i == s.pageCode || all || s.pageCode < 0;
  if (s.pageCode >= 0) s.openPage = s.pageCode;
  if (s.pageCode == gpWindowing) s.pageCode = kind;  // a window keeps its own kind 11..15
  s.allPages = all || s.pageCode < 0;
  if (s.allPages) s.pageCode = kPageCodeFromRecord;
  // A window block offers only its own window; the list is for All_in_One.
  if (!all && kind >= gpWindowing && kind < gpWindowing + kWindowTypeCount) s.ownWindow = kind - gpWindowing;
  return s;
}

GeneratorActivePage ActivePageOf(int32_t pageCode) {
  if (pageCode >= gpWindowing && pageCode < gpWindowing + kWindowTypeCount)
    return {gpWindowing, pageCode - gpWindowing};
  if (pageCode >= 0 && pageCode < kGeneratorPageCount) return {pageCode, -1};
  return {};
}

int32_t PageCodeOfPage(int32_t activePage, int32_t windowTypeIndex) {
  const int32_t code = activePage < 0 ? gpSine : activePage;
  if (code > gpKaiser) return gpWindowing + std::max<int32_t>(0, windowTypeIndex);
  return code;
}

const GeneratorControl* FindGeneratorControl(std::string_view name) {
  const int32_t i = GeneratorControlIndex(name);
  return i < 0 ? nullptr : &kControls[i];
}

GeneratorValues RecordToValues(const GeneratorParams& r) {
  GeneratorValues values(std::size(kControls));
  for (size_t i = 0; i < std::size(kControls); ++i) {
    const GeneratorControl& c = kControls[i];
    GeneratorValue& v = values[i];
    switch (c.field) {
      case F::Text:
        v.text = std::string(r.Formula.View());
        break;
      case F::Byte:
        v.whole = Read<uint8_t>(r, c.offset) != 0 ? 1 : 0;
        break;
      case F::Int64:
      case F::Real: {
        const double stored =
            c.field == F::Real ? Read<double>(r, c.offset) : static_cast<double>(Read<int64_t>(r, c.offset));
        if (c.editor == E::Delay)
          v.whole = Read<int64_t>(r, c.offset);
        else if (c.editor == E::RealSpin)
          v.number = ToRealSpin(c, stored);
        else
          v.number = ToSpin(c, stored);
        break;
      }
      case F::None:
        break;
    }
  }
  values[GeneratorRow("RadioButton2")].whole = r.IsSingle == 0 ? 1 : 0;
  if (r.Kind >= gpWindowing && r.Kind < gpWindowing + kWindowTypeCount)
    values[GeneratorRow("Wind_type")].whole = r.Kind - gpWindowing;
  return values;
}

void ValuesToRecord(const GeneratorValues& values, int32_t pageCode, GeneratorParams& r) {
  r.Kind = pageCode < 0 ? gpTone : pageCode;
  for (size_t i = 0; i < std::size(kControls) && i < values.size(); ++i) {
    const GeneratorControl& c = kControls[i];
    const GeneratorValue& v = values[i];
    switch (c.field) {
      case F::Text:
        // Lower case, as the check evaluates it: what Check accepted is what runs.
        r.Formula.Set(FormulaLowerCase(std::string_view(v.text).substr(0, kFormulaKept)));
        break;
      case F::Byte:
        Write<uint8_t>(r, c.offset, v.whole != 0 ? 1 : 0);
        break;
      case F::Int64:
        Write<int64_t>(r, c.offset, c.editor == E::Delay ? v.whole : RoundToInt64(v.number));
        break;
      case F::Real:
        Write<double>(r, c.offset, v.number);
        break;
      case F::None:
        break;
    }
  }
}

GeneratorParams DefaultGeneratorRecord(const DialogHooks& hooks) {
  GeneratorParams record{};
  if (hooks.generatorDefaults) hooks.generatorDefaults(record);
  return record;
}

std::vector<uint8_t> GeneratorResultRecord(const std::vector<uint8_t>& stored, const GeneratorParams& shown,
                                           const GeneratorParams& now) {
  const auto* nowBytes = reinterpret_cast<const uint8_t*>(&now);
  std::vector<uint8_t> out(nowBytes, nowBytes + sizeof now);
  if (stored.size() != sizeof now || std::memcmp(&shown, &now, sizeof now) != 0) return out;
  GeneratorParams kept;
  std::memcpy(&kept, stored.data(), sizeof kept);
  if (kept.Formula.Size() > kFormulaKept) return out;
  kept.Formula.Set(FormulaLowerCase(kept.Formula.View()));
  GeneratorParams shownAsKept = shown;
  shownAsKept.Kind = kept.Kind;  // the kind comes from the page, not from a control
  if (std::memcmp(&shownAsKept, &kept, sizeof kept) != 0) return out;
  const auto* keptBytes = reinterpret_cast<const uint8_t*>(&kept);
  return std::vector<uint8_t>(keptBytes, keptBytes + sizeof kept);
}

std::optional<int64_t> ForcedPeriod(bool textEmpty, int64_t delay, int64_t longValue) {
  if (textEmpty || delay <= 0) return 1;
  if (longValue > kLongestPeriod) return kLongestPeriod;  // also a number too long for 64 bits
  return std::nullopt;
}

bool LimitsTypedValue(std::string_view controlName) {
  using namespace generator_controls;
  return controlName == "FConstant"_ctl || controlName == "BlackLen"_ctl || controlName == "KaiserLen"_ctl ||
         controlName == "WindowLen"_ctl;
}

std::optional<int64_t> LimitedLengthOrConstant(int64_t value) {
  if (value > kLengthLimit) return kLengthLimit;
  if (value < -kLengthLimit) return -kLengthLimit;
  return std::nullopt;
}

std::optional<double> ParseTypedNumber(std::string_view text, bool real) {
  if (text.empty()) return std::nullopt;
  std::string typed(text);
  if (real) std::replace(typed.begin(), typed.end(), ',', '.');
  char* end = nullptr;
  const double value =
      real ? std::strtod(typed.c_str(), &end) : static_cast<double>(std::strtoll(typed.c_str(), &end, 10));
  if (end == typed.c_str() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

int32_t PreviewLengthOf(int32_t pageCode) {
  if (pageCode < 0 || pageCode > 255) return 0;
  return pageCode == gpFunc ? kUserFunctionPreviewPoints : kPreviewPoints;
}

std::vector<int64_t> GeneratorPreviewPoints(const DialogHooks& hooks, int32_t pageCode, const GeneratorParams& record) {
  const int32_t length = PreviewLengthOf(pageCode);
  if (length == 0 || !hooks.generatorPreview) return {};
  std::vector<int64_t> points(static_cast<size_t>(length), 0);
  hooks.generatorPreview(pageCode, record, length, points.data());
  return points;
}

std::pair<double, double> PreviewValueRange(const std::vector<int64_t>& points) {
  if (points.empty()) return {0, 1};
  const auto [lo, hi] = std::minmax_element(points.begin(), points.end());
  double low = static_cast<double>(*lo), high = static_cast<double>(*hi);
  if (high == low) {
    high += 1;
    low -= 1;
  }
  return {low, high};
}

void CheckGeneratorFormula(const DialogHooks& hooks, std::string_view formula) {
  if (!hooks.checkFormula) {
    if (hooks.showError) hooks.showError(msgCantFindFunction, "");
    return;
  }
  if (hooks.checkFormula(FormulaLowerCase(formula)) && hooks.showInfo) hooks.showInfo(infoFormulaCorrect);
}

std::string GeneratorHelpPath(const DialogHooks& hooks, const std::string& directory, int32_t pageCode) {
  if (!hooks.generatorHelpTopic) return {};
  const std::string topic = hooks.generatorHelpTopic(pageCode);
  return topic.empty() ? std::string() : directory + topic;
}

static_assert(AllNameControls(kCaptions, IsGeneratorControl));

std::span<const Caption> GeneratorCaptions() { return kCaptions; }

const Caption* FindGeneratorCaption(std::string_view name) {
  for (const Caption& c : kCaptions)
    if (name == c.name) return &c;
  return nullptr;
}
