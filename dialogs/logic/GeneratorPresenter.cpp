#include "GeneratorPresenter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

using namespace generator_controls;

const Caption kFormulaNotStorable = {"", "The formula holds characters the system code page cannot store.",
                                     "Формула содержит символы, которых нет в кодовой странице системы."};

size_t IndexOf(std::string_view control) { return static_cast<size_t>(GeneratorControlIndex(control)); }
ControlName NameAt(size_t index) { return ControlName(GeneratorControls()[index].name); }

// A typed text that reads as a number but not a finite one ("nan", "inf",
// "1e999"): a record never takes it.
bool ReadsAsNonFinite(const std::string& text) {
  std::string typed = text;
  std::replace(typed.begin(), typed.end(), ',', '.');
  char* end = nullptr;
  const double value = std::strtod(typed.c_str(), &end);
  return end != typed.c_str() && *end == '\0' && !std::isfinite(value);
}

}  // namespace

FormulaCodec Latin1FormulaCodec() {
  FormulaCodec codec;
  codec.toLocal = [](const std::string& utf8) -> std::optional<std::string> {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
      const auto c = static_cast<unsigned char>(utf8[i]);
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
        out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
      } else {
        return std::nullopt;
      }
    }
    return out;
  };
  codec.fromLocal = [](const std::string& latin1) {
    std::string out;
    for (const char ch : latin1) {
      const auto c = static_cast<unsigned char>(ch);
      if (c < 0x80) {
        out += ch;
      } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  };
  return codec;
}

GeneratorPresenter::GeneratorPresenter(DialogView& view, GeneratorView& pages, const DialogHooks& hooks,
                                       FormulaCodec codec)
    : view_(view), pages_(pages), hooks_(hooks), codec_(std::move(codec)) {
  const auto table = GeneratorControls();
  values_.resize(table.size());
  for (const GeneratorControl& c : table) ranges_.emplace_back(c.min, c.max);
}

void GeneratorPresenter::SetType(const std::string& typeName) {
  setup_ = GeneratorPagesOf(typeName, hooks_);
  pageCode_ = setup_.pageCode;
  page_ = setup_.openPage;
}

// A window block offers its own window only; the others stay listed, out of
// the user's reach.
void GeneratorPresenter::Start() {
  std::vector<ListItem> items;
  for (int32_t type = 0; type < kWindowTypeCount; ++type)
    items.push_back({kWindowTypeNames[type], setup_.ownWindow < 0 || setup_.ownWindow == type});
  loading_ = true;
  view_.SetItems("Wind_type"_ctl, items);
  view_.SetIndex("Wind_type"_ctl, std::max(0, setup_.ownWindow));
  loading_ = false;
}

int32_t GeneratorPresenter::WindowType() const { return view_.Index("Wind_type"_ctl); }

// The random page is never offered.
bool GeneratorPresenter::Offered(int32_t page) const {
  return page >= 0 && page < kGeneratorPageCount && page != gpRandom && setup_.tabVisible[static_cast<size_t>(page)];
}

void GeneratorPresenter::Open(const std::vector<uint8_t>& stored) {
  GeneratorParams record = DefaultGeneratorRecord(hooks_);
  if (stored.size() == sizeof record) {
    std::memcpy(&record, stored.data(), sizeof record);
    stored_ = stored;
  }
  if (pageCode_ < 0) pageCode_ = record.Kind;
  ShowValues(RecordToValues(record));
}

// The values into the controls; no rule runs while they load.
void GeneratorPresenter::ShowValues(const GeneratorValues& values) {
  loading_ = true;
  const auto table = GeneratorControls();
  for (size_t i = 0; i < table.size(); ++i) {
    const GeneratorValue& v = values[i];
    switch (table[i].editor) {
      case GeneratorEditor::Text:
        view_.SetText(NameAt(i), codec_.fromLocal(v.text));
        break;
      case GeneratorEditor::Delay:
        pages_.SetDelay(NameAt(i), v.whole);
        break;
      case GeneratorEditor::IntSpin:
      case GeneratorEditor::RealSpin:
        values_[i].number = v.number + 0.0;  // never "-0"
        view_.SetNumber(NameAt(i), values_[i].number);
        break;
      case GeneratorEditor::Radio:
        view_.SetChecked(NameAt(i), v.whole != 0);
        break;
      case GeneratorEditor::Combo:  // follows the page code at activation
        break;
    }
  }
  loading_ = false;
}

void GeneratorPresenter::Activate() {
  const GeneratorActivePage active = ActivePageOf(pageCode_);
  loading_ = true;
  if (active.windowType >= 0 && (setup_.ownWindow < 0 || setup_.ownWindow == active.windowType))
    view_.SetIndex("Wind_type"_ctl, active.windowType);
  if (Offered(active.page)) page_ = active.page;
  for (int32_t page = 0; page < kGeneratorPageCount && !Offered(page_); ++page)
    if (Offered(page)) page_ = page;
  if (page_ >= 0) pages_.SetPage(page_);
  loading_ = false;
  previewLength_ = kPreviewPoints;
  activated_ = true;
  lastPage_ = page_;
  PageChanged();
  shown_ = ReadRecord();
}

void GeneratorPresenter::PageSelected(int32_t page) {
  if (!activated_ || loading_) return;
  // A page not offered is never reached, not even with Ctrl+Tab.
  if (!Offered(page) && setup_.allPages) {
    pages_.SetPage(Offered(lastPage_) ? lastPage_ : gpModSine);
    return;
  }
  page_ = page;
  lastPage_ = page;
  PageChanged();
}

void GeneratorPresenter::PageChanged() {
  pageCode_ = PageCodeOfPage(page_, WindowType());
  DrawPreview();
}

void GeneratorPresenter::WindowTypeChanged() {
  if (!activated_ || loading_) return;
  pageCode_ = gpWindowing + WindowType();
  DrawPreview();
}

double GeneratorPresenter::Value(std::string_view control) const { return values_[IndexOf(control)].number; }

void GeneratorPresenter::SetQuietly(size_t index, double value) {
  values_[index].number = value;
  loading_ = true;
  view_.SetNumber(NameAt(index), value);
  loading_ = false;
}

void GeneratorPresenter::ValueChanged(std::string_view control) {
  if (loading_) return;
  const size_t i = IndexOf(control);
  const GeneratorControl& c = GeneratorControls()[i];
  if (c.editor == GeneratorEditor::Delay) {
    const GeneratorView::DelayState d = pages_.Delay(NameAt(i));
    if (const std::optional<int64_t> forced = ForcedPeriod(d.empty, d.delay, d.number)) {
      loading_ = true;
      pages_.SetDelayNumber(NameAt(i), *forced);
      loading_ = false;
    }
  } else if (c.editor == GeneratorEditor::IntSpin || c.editor == GeneratorEditor::RealSpin) {
    const std::optional<double> typed = pages_.Typed(NameAt(i));
    if (!typed) return;  // an empty or unfinished text changes nothing yet
    // A number beyond the bounds shows the bound it stops at.
    values_[i].number = std::clamp(*typed, ranges_[i].first, ranges_[i].second);
    if (values_[i].number != *typed) SetQuietly(i, values_[i].number);
    if (LimitsTypedValue(c.name)) {
      if (const auto limited = LimitedLengthOrConstant(static_cast<int64_t>(values_[i].number)))
        SetQuietly(i, static_cast<double>(*limited));
    }
    RangeRules(control);
  }
  DrawPreview();
}

void GeneratorPresenter::NumberStepped(std::string_view control, bool up) {
  const size_t i = IndexOf(control);
  const double step = GeneratorControls()[i].step;
  SetQuietly(i, std::clamp(values_[i].number + (up ? step : -step), ranges_[i].first, ranges_[i].second));
  ValueChanged(control);
}

void GeneratorPresenter::SetRange(size_t index, double minimum, double maximum) {
  ranges_[index] = {minimum, maximum};
  loading_ = true;
  view_.SetRange(NameAt(index), minimum, maximum);
  loading_ = false;
  const double held = std::clamp(values_[index].number, minimum, maximum);
  if (held != values_[index].number) SetQuietly(index, held);
}

// The bounds of the random ranges follow each other.
void GeneratorPresenter::RangeRules(std::string_view control) {
  constexpr size_t maxValue = GeneratorRow("FMaxValue"), minValue = GeneratorRow("FMinValue"),
                   high = GeneratorRow("FHigh"), low = GeneratorRow("FLow");
  if (control == "FMaxValue"_ctl) {
    SetRange(maxValue, values_[minValue].number, ranges_[maxValue].second);
    SetRange(minValue, ranges_[minValue].first, values_[maxValue].number);
  } else if (control == "FHigh"_ctl) {
    SetRange(high, values_[low].number, ranges_[high].second);
    SetRange(low, ranges_[low].first, values_[high].number);
  } else if (control == "FMinValue"_ctl || control == "FLow"_ctl) {
    if (pages_.Typed("FLow"_ctl))
      SetRange(low, ranges_[low].first, values_[high].number);
    else
      SetQuietly(low, values_[high].number);
  }
}

std::string GeneratorPresenter::FormulaBytes(bool* storable) {
  const std::string text = view_.Text("Func_Str"_ctl);
  const std::optional<std::string> local = codec_.toLocal(text);
  if (storable != nullptr) *storable = local.has_value();
  if (local) return *local;
  std::string replaced;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) replaced += static_cast<unsigned char>(c) < 0x80 ? c : '?';
  return replaced;
}

GeneratorParams GeneratorPresenter::ReadRecord() {
  const auto table = GeneratorControls();
  GeneratorValues values = values_;
  for (size_t i = 0; i < table.size(); ++i) {
    switch (table[i].editor) {
      case GeneratorEditor::Text:
        values[i].text = FormulaBytes(nullptr);
        break;
      case GeneratorEditor::Delay:
        values[i].whole = pages_.Delay(NameAt(i)).delay;
        break;
      case GeneratorEditor::Radio:
        values[i].whole = view_.Checked(NameAt(i)) ? 1 : 0;
        break;
      case GeneratorEditor::Combo:
        values[i].whole = WindowType();
        break;
      default:  // the spins' numbers follow their texts
        break;
    }
  }
  if (pageCode_ < 0) pageCode_ = gpTone;
  GeneratorParams record = DefaultGeneratorRecord(hooks_);
  ValuesToRecord(values, pageCode_, record);
  return record;
}

void GeneratorPresenter::DrawPreview() {
  if (loading_) return;
  const int32_t length = PreviewLengthOf(pageCode_);
  if (length == 0) return;
  previewLength_ = length;
  pages_.ShowPreview(GeneratorPreviewPoints(hooks_, pageCode_, ReadRecord()), length);
}

void GeneratorPresenter::CheckFormula() { CheckGeneratorFormula(hooks_, FormulaBytes(nullptr)); }

void GeneratorPresenter::ShowHelp(const std::string& directory) const {
  if (!hooks_.showHelp) return;
  const std::string path = GeneratorHelpPath(hooks_, directory, pageCode_);
  if (!path.empty()) hooks_.showHelp(path);
}

bool GeneratorPresenter::Ok() {
  const auto table = GeneratorControls();
  for (size_t i = 0; i < table.size(); ++i) {
    const bool spin = table[i].editor == GeneratorEditor::IntSpin || table[i].editor == GeneratorEditor::RealSpin;
    if (!spin || !ReadsAsNonFinite(view_.Text(NameAt(i)))) continue;
    view_.ShowMessage(NotANumberText(table[i].name, russian_), DialogView::MessageKind::Error);
    return false;
  }
  bool storable = true;
  FormulaBytes(&storable);
  if (storable) return true;
  view_.ShowMessage(CaptionText(kFormulaNotStorable, russian_), DialogView::MessageKind::Error);
  return false;
}

std::vector<uint8_t> GeneratorPresenter::Result() {
  const GeneratorParams now = ReadRecord();
  return shown_ ? GeneratorResultRecord(stored_, *shown_, now) : GeneratorResultRecord({}, now, now);
}
