#include "TransformDialogPresenter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "CoefficientLists.h"
#include "FormulaText.h"
#include "TransformDialogLayout.h"
#include "framework/Errors.h"

using namespace transform_controls;

// An unknown type name gives the dialog code of catalogue code -1.
static_assert(kRirUnknownDialogCode == DialogCodeOfCatalogueCode(-1));

namespace {

int32_t PageIndex(const char* page) {
  const auto pages = TransformPages();
  for (size_t i = 0; i < pages.size(); ++i) {
    if (std::strcmp(pages[i], page) == 0) return static_cast<int32_t>(i);
  }
  return 0;
}

// Typed text as a number: what a list entry may be, read in double.
std::optional<double> ParseNumber(const std::string& text) {
  if (!ParseEntry(text)) return std::nullopt;
  size_t first = text.find_first_not_of(" \t\n\r\f\v");
  if (text[first] == '+') ++first;
  const size_t last = text.find_last_not_of(" \t\n\r\f\v");
  double value = 0;
  std::from_chars(text.data() + first, text.data() + last + 1, value);
  return value;
}

// Typed text that reads as a number, but not as a finite one.
bool ReadsAsNonFinite(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\n\r\f\v+");
  if (first == std::string::npos) return false;
  const size_t last = text.find_last_not_of(" \t\n\r\f\v");
  double value = 0;
  const auto read = std::from_chars(text.data() + first, text.data() + last + 1, value);
  const bool whole = read.ptr == text.data() + last + 1;
  return whole && (read.ec == std::errc::result_out_of_range || (read.ec == std::errc() && !std::isfinite(value)));
}

// The table's own spelling of a control name a front end handed in.
ControlName ListedName(std::string_view name) {
  for (const PageControl& c : TransformPageControls())
    if (name == c.name) return ControlName(c.name);
  throw std::logic_error("no control named " + std::string(name));
}

constexpr ControlName kFormulaFields[] = {"User_func"_ctl, "Basis_func"_ctl, "LMSS_Formula"_ctl};

template <typename T>
T Read(const std::vector<uint8_t>& bytes, const RecordField& field) {
  T value{};
  std::memcpy(&value, bytes.data() + field.offset, sizeof value);
  return value;
}
template <typename T>
void Write(std::vector<uint8_t>& bytes, const RecordField& field, T value) {
  std::memcpy(bytes.data() + field.offset, &value, sizeof value);
}

double ReadNumber(const std::vector<uint8_t>& bytes, const RecordField& field) {
  switch (field.type) {
    case FieldType::Float32:
      return Read<float>(bytes, field);
    case FieldType::Float64:
      return Read<double>(bytes, field);
    case FieldType::Bool:
    case FieldType::UInt8:
      return Read<uint8_t>(bytes, field);
    default:
      return Read<int32_t>(bytes, field);
  }
}

void WriteNumber(std::vector<uint8_t>& bytes, const RecordField& field, double value) {
  switch (field.type) {
    case FieldType::Float32:
      return Write(bytes, field, static_cast<float>(value));
    case FieldType::Float64:
      return Write(bytes, field, value);
    case FieldType::Bool:
    case FieldType::UInt8:
      return Write(bytes, field, static_cast<uint8_t>(value));
    default:
      return Write(bytes, field, static_cast<int32_t>(value));
  }
}

}  // namespace

TransformDialogPresenter::TransformDialogPresenter(DialogView& view, TransformDialogView& special, DialogHooks hooks)
    : view_(view), special_(special), hooks_(std::move(hooks)) {
  DefaultTransformRecord(transform_);
  DefaultTransformRecord(source_);
  DefaultFilterRecord(filter_);
  for (const NumberControl& c : TransformNumberControls())
    numbers_.emplace(c.name, NumberState{&c, c.minimum, c.maximum, c.value});
  for (const FlagBox& flag : FftFlagBoxes()) flagsEnabled_ |= flag.value;
  for (const ComboControl& c : TransformComboControls()) itemValues_[c.name] = ComboValue(c, c.selected);
}

void TransformDialogPresenter::Start() {
  Writing writing(writing_);
  for (const NumberControl& c : TransformNumberControls()) {
    view_.SetRange(ControlName(c.name), c.minimum, c.maximum);
    view_.SetNumber(ControlName(c.name), c.value);
  }
  SetFlags(DesignFlagBoxes());
  for (const ComboControl& c : TransformComboControls()) view_.SetIndex(ControlName(c.name), c.selected);
  for (const TextControl& t : TransformTextControls()) view_.SetText(ControlName(t.name), t.text);
  // Shown by rule, not by page: never, or until a kind or a box asks.
  for (const ControlName name : {"Ck_Init"_ctl, "isMulti_Rate"_ctl, "Multi_Rate_Box"_ctl, "LMSS_Multi_Rate"_ctl,
                                 "LMSS_isAdaptB"_ctl, "PreViewBtn"_ctl})
    view_.SetVisible(name, false);
  view_.SetEnabled("IIRS_Type"_ctl, false);
  view_.SetHint("BitRev_Order"_ctl, kBitRevOrderHint);
  view_.SetHint("Thresh_param"_ctl, kThreshParamHint);
  view_.SetIndex("Notebook"_ctl, PageIndex("None"));
}

void TransformDialogPresenter::LoadType(const std::string& typeName) {
  code_ = hooks_.dialogCodeOf ? hooks_.dialogCodeOf(TransformTypeOf(typeName)) : kRirUnknownDialogCode;
  groupMode_ = IsGroupDialogCode(code_);
}

void TransformDialogPresenter::LoadSettings(const std::string& language, const std::vector<uint8_t>& data) {
  if (hooks_.setLanguage) hooks_.setLanguage(language);
  russian_ = IsRussianLanguage(language);
  {
    Writing writing(writing_);
    for (const Caption& c : TransformCaptions()) view_.SetText(ControlName(c.name), CaptionText(c, russian_));
  }
  alignas(8) FilterParams filterSource = filter_;
  ReadStoredRecord(data, original_, source_, filterSource);
  if (IsFilter()) {
    ShowFilter(filterSource);
  } else {
    ShowTransform();
  }
  SetupTree();
}

void TransformDialogPresenter::ShowTransform() {
  Writing writing(writing_);
  const int32_t g = hooks_.groupOfCode ? hooks_.groupOfCode(DialogCodeOfCatalogueCode(source_.TransformCode)) : 0;
  view_.SetVisible("SigLen_label"_ctl, ShowsSignalLength(g));
  view_.SetVisible("Num_Points"_ctl, ShowsSignalLength(g));
  if (groupMode_) code_ = PreselectedTransformCode(code_, g, source_.TransformCode);
  // The flag boxes follow a stored flag word; a record without one keeps
  // the design state.
  if (source_.FftFlags != 0) SetFlags(source_.FftFlags & (kFlagInRcPerm * 2 - 1));
  ComposeFlags();
  std::memcpy(transform_.ConvTaps, source_.ConvTaps, sizeof transform_.ConvTaps);
  transform_.ConvTapsCount = ClampListCount(source_.ConvTapsCount);
  ShowBound(RecordKind::Transform, RecordBytes(source_));
}

void TransformDialogPresenter::ShowFilter(const FilterParams& record) {
  Writing writing(writing_);
  view_.SetVisible("SigLen_label"_ctl, false);
  view_.SetVisible("Num_Points"_ctl, false);
  // A stored kind outside the filters would have OK store a transform record
  // for a filter block.
  if (groupMode_ && hooks_.isFilterCode(PreselectedFilterCode(record.TransformCode)))
    code_ = PreselectedFilterCode(record.TransformCode);
  filter_ = record;
  // Counts beyond the lists would read past them.
  for (int32_t* count : {&filter_.FirTapsCount, &filter_.IirTapsCount, &filter_.LmsTapsCount})
    *count = ClampListCount(*count);
  ShowBound(RecordKind::Filter, RecordBytes(record));
}

void TransformDialogPresenter::Activate() {
  signalLength_ = Int("Num_Points"_ctl);
  SetRange("Corr_nLags"_ctl, std::nullopt, signalLength_);
  previousFactor_ = Int("Sampl_Factor"_ctl);
  SetRange("FIRH_DownFactor"_ctl, std::nullopt, FirDownFactorMaximum(signalLength_));
  ComposeFlags();
  if (!snapped_) {
    snapped_ = true;
    shown_ = ControlsToBytes();
  }
}

// ---- numbers ----

// A name outside the number table is a fault of a front end's wiring.
const TransformDialogPresenter::NumberState& TransformDialogPresenter::State(std::string_view name) const {
  const auto found = numbers_.find(name);
  if (found == numbers_.end()) throw std::logic_error("no number control named " + std::string(name));
  return found->second;
}

TransformDialogPresenter::NumberState& TransformDialogPresenter::State(std::string_view name) {
  return const_cast<NumberState&>(std::as_const(*this).State(name));
}

double TransformDialogPresenter::Number(std::string_view name) const { return State(name).value; }

void TransformDialogPresenter::SetValue(std::string_view name, double value, bool notify) {
  NumberState& n = State(name);
  const double fitted = FitNumber(*n.control, value, n.minimum, n.maximum);
  const bool changed = fitted != n.value;
  n.value = fitted;
  {
    Writing writing(writing_);
    view_.SetNumber(ControlName(n.control->name), fitted);
  }
  if (changed && notify) ValueChanged(name);
}

void TransformDialogPresenter::SetRange(std::string_view name, std::optional<double> minimum,
                                        std::optional<double> maximum) {
  NumberState& n = State(name);
  if (minimum) n.minimum = *minimum;
  if (maximum) n.maximum = std::max(*maximum, n.minimum);
  {
    Writing writing(writing_);
    view_.SetRange(ControlName(n.control->name), n.minimum, n.maximum);
  }
  SetValue(name, n.value);
}

void TransformDialogPresenter::NumberEdited(std::string_view name, double value) {
  if (writing_ == 0) SetValue(name, value);
}

bool TransformDialogPresenter::NumberTyped(std::string_view name, const std::string& text) {
  if (writing_ != 0) return true;
  // NaN or infinity never reaches a record: the field says so and shows its value again.
  if (ReadsAsNonFinite(text)) {
    SetValue(name, Number(name));
    view_.ShowMessage(NotANumberText(name, russian_), DialogView::MessageKind::Warning);
    return false;
  }
  SetValue(name, ParseNumber(text).value_or(Number(name)));
  return true;
}

void TransformDialogPresenter::NumberStepped(std::string_view name, bool up) {
  const double step = State(name).control->step;
  NumberEdited(name, Number(name) + (up ? step : -step));
}

void TransformDialogPresenter::ValueChanged(std::string_view name) {
  if (name == "Num_Points"_ctl) {
    signalLength_ = Int(name);
    transform_.SignalLength = signalLength_;
    if (IsFirDialogCode(code_))
      SetRange("FIRH_DownFactor"_ctl, std::nullopt, FirDownFactorMaximumForLength(signalLength_));
  } else if (name == "Sampl_Factor"_ctl) {
    SamplFactorChange();
  } else if (name == "Sampl_Phase"_ctl) {
    SamplPhaseChange();
  } else if (name == "BitRev_Order"_ctl) {
    SetValue(name, LimitBitReverseOrder(Int(name), signalLength_), false);
  } else if (name == "FIRH_UpFactor"_ctl) {
    SetRange("FIRH_UpPhase"_ctl, std::nullopt, PhaseMaximum(Int(name)));
  } else if (name == "FIRH_DownFactor"_ctl) {
    if (const auto points = NumPointsForDownFactor(Int("Num_Points"_ctl), signalLength_, Int(name)))
      SetValue("Num_Points"_ctl, *points);
    SetRange("FIRH_DownPhase"_ctl, std::nullopt, PhaseMaximum(Int(name)));
  } else if (name == "LMSS_DwnFactor"_ctl) {
    SetRange("LMSS_DwnPhase"_ctl, std::nullopt, PhaseMaximum(Int(name)));
  } else if (name == "WindowLen"_ctl) {
    ComposeFlags();
  }
}

void TransformDialogPresenter::SamplPhaseChange() {
  SetValue("Sampl_Phase"_ctl, LimitSamplingPhase(Int("Sampl_Phase"_ctl), Int("Sampl_Factor"_ctl)), false);
}

void TransformDialogPresenter::SamplFactorChange() {
  const bool up = code_ == DialogCodeOfCatalogueCode(ccUpSample);
  SetValue("Sampl_Factor"_ctl, SnapSamplingFactor(Int("Sampl_Factor"_ctl), previousFactor_, signalLength_, up), false);
  previousFactor_ = Int("Sampl_Factor"_ctl);
  SamplPhaseChange();
}

// ---- combos, flags, buttons ----

void TransformDialogPresenter::ComboChanged(std::string_view name) {
  if (writing_ == 0) ItemChosen(name);
}

// The list's value follows the chosen item; two lists explain it in a hint.
void TransformDialogPresenter::ItemChosen(std::string_view name) {
  const ComboControl* combo = FindComboControl(name);
  if (combo == nullptr) return;
  const ControlName control(combo->name);
  const int32_t value = ComboValue(*combo, view_.Index(control));
  itemValues_[combo->name] = value;
  if (control == "corrType"_ctl) {
    transform_.CorrType = static_cast<uint8_t>(value);
    view_.SetHint(control, CorrTypeHint(value));
  } else if (control == "Thresh_RelOp"_ctl) {
    view_.SetHint(control, ThreshRelOpHint(value));
  }
}

int32_t TransformDialogPresenter::CheckedFlags() const {
  int32_t checked = 0;
  for (const FlagBox& flag : FftFlagBoxes()) {
    if (view_.Checked(ControlName(flag.name))) checked |= flag.value;
  }
  return checked;
}

void TransformDialogPresenter::SetFlags(int32_t checked) {
  Writing writing(writing_);
  for (const FlagBox& flag : FftFlagBoxes()) view_.SetChecked(ControlName(flag.name), (checked & flag.value) != 0);
}

int32_t TransformDialogPresenter::ComposeFlags() {
  transform_.FftFlags = ::ComposeFlags(CheckedFlags(), flagsEnabled_);
  return transform_.FftFlags;
}

void TransformDialogPresenter::EnableFlagBoxes(uint32_t set) {
  flagsEnabled_ = EnabledFlagBoxes(set);
  Writing writing(writing_);
  for (const FlagBox& flag : FftFlagBoxes())
    view_.SetEnabled(ControlName(flag.name), (flagsEnabled_ & flag.value) != 0);
}

void TransformDialogPresenter::Clicked(std::string_view name) {
  if (writing_ != 0) return;
  for (const FlagBox& flag : FftFlagBoxes()) {
    if (name == flag.name) {
      SetFlags(FlagBoxesAfterClick(CheckedFlags(), flag.value));
      ComposeFlags();
      return;
    }
  }
  Writing writing(writing_);
  if (name == "PreViewBtn"_ctl) {
    ComposeFlags();
  } else if (std::ranges::find(kFormulaFields, name) != std::end(kFormulaFields)) {
    // No parsing takes place: the formula is only confirmed.
    if (hooks_.showInfo) hooks_.showInfo(infoFormulaCorrect);
  } else if (const auto list = ListOfField(name)) {
    EditList(*list, ListedName(name));
  } else {
    CheckRule(name);
  }
}

// What a check box decides besides its own state.
void TransformDialogPresenter::CheckRule(std::string_view name) {
  if (name == "isMulti_Rate"_ctl) {
    const bool on = view_.Checked("isMulti_Rate"_ctl);
    view_.SetVisible("Multi_Rate_Box"_ctl, on);
    filter_.FirMultiRate = on ? 1 : 0;
  } else if (name == "LMSH_isMulti"_ctl) {
    view_.SetVisible("LMSS_Multi_Rate"_ctl, view_.Checked("LMSH_isMulti"_ctl));
  }
}

void TransformDialogPresenter::EditList(CoefficientList list, ControlName field) {
  const int32_t upFactor = Int("FIRH_UpFactor"_ctl);
  const ListEditPlan plan = PlanListEdit(list, transform_, filter_, view_.Checked("IIRS_isBiquads"_ctl), upFactor);
  float* entries = ListEntries(list, transform_, filter_);
  const std::vector<std::string> cells = special_.EditTable(entries, plan.shown, plan.minimumColumns);
  const ListRead read = ReadList(cells, static_cast<int32_t>(cells.size()), entries);
  view_.SetText(field, read.complete ? read.text : std::string());
  FinishListEdit(list, transform_, filter_, plan, read.count, upFactor);
  ComposeFlags();
  if (!read.complete)
    view_.ShowMessage(NotANumberText(std::string(field.View()) + "[" + std::to_string(read.stoppedAt) + "]", russian_),
                      DialogView::MessageKind::Warning);
}

// ---- tree ----

void TransformDialogPresenter::SetupTree() {
  const int32_t group = hooks_.groupOfCode ? hooks_.groupOfCode(code_) : 0;
  const std::vector<KindItem> items = PruneKindTree(code_, groupMode_, group);
  const int32_t selected = SelectedKindIndex(items, code_);
  {
    Writing writing(writing_);
    special_.ShowKindTree(items, selected, ExpandAllKinds(code_));
  }
  if (selected >= 0) Select(items[static_cast<size_t>(selected)].code);
}

void TransformDialogPresenter::KindSelected(int32_t code) {
  if (writing_ == 0) Select(code);
}

void TransformDialogPresenter::Select(int32_t code) {
  const KindSelection kind = SelectKind(code);
  page_ = kind.page;
  {
    Writing writing(writing_);
    view_.SetIndex("Notebook"_ctl, PageIndex(page_));
    if (kind.threshRelOpEnabled) view_.SetEnabled("Thresh_RelOp"_ctl, *kind.threshRelOpEnabled);
    if (kind.iirDelayShown) {
      view_.SetVisible("IIRSDelay_Label"_ctl, *kind.iirDelayShown);
      view_.SetVisible("IIRS_Delay"_ctl, *kind.iirDelayShown);
    }
    view_.SetVisible("LMSS_isAdaptB"_ctl, kind.adaptiveShown);
    view_.SetVisible("LMSS_Formula"_ctl, kind.formulaShown);
    view_.SetVisible("Result_label"_ctl, kind.formulaShown);
    view_.SetEnabled("PreViewBtn"_ctl, kind.previewEnabled);
  }
  if (kind.threshMinimum) SetRange("Thresh_param"_ctl, *kind.threshMinimum, std::nullopt);
  // The sampling rule runs with the code selected before.
  if (kind.snapsSamplingFactor) SamplFactorChange();
  if (kind.flagEnableSet) EnableFlagBoxes(*kind.flagEnableSet);
  if (kind.previewEnabled) ComposeFlags();
  helpContext_ = kind.helpContext;
  code_ = code;
}

// ---- records ----

bool TransformDialogPresenter::IsFilter() const { return hooks_.isFilterCode && hooks_.isFilterCode(code_); }

void TransformDialogPresenter::ShowBound(RecordKind record, const std::vector<uint8_t>& bytes) {
  for (const ControlBinding& b : TransformBindings())
    if (b.record == record) ShowBinding(b, bytes);
  transform_.SignalLength = signalLength_ = Int("Num_Points"_ctl);
  previousFactor_ = Int("Sampl_Factor"_ctl);
}

void TransformDialogPresenter::ShowBinding(const ControlBinding& b, const std::vector<uint8_t>& bytes) {
  const RecordField& f = b.Field();
  const ControlName control = b.Control();
  switch (b.as) {
    case BoundAs::Number: {
      double value = ReadNumber(bytes, f);
      // A record with no length shows the design length.
      if (control == "Num_Points"_ctl && value <= 0) value = State(control).control->value;
      if (b.phaseOf != nullptr)
        value = std::min<double>(FitNumber(*State(control).control, value), PhaseMaximum(Int(b.phaseOf)));
      SetValue(control, value, b.rulesWhenShown);
      break;
    }
    case BoundAs::Item: {
      const int32_t value = static_cast<int32_t>(ReadNumber(bytes, f));
      itemValues_[std::string(control.View())] = value;
      const int32_t item = ComboItemOf(*FindComboControl(control), value);
      if (item < 0) break;
      view_.SetIndex(control, item);
      ItemChosen(control);
      break;
    }
    case BoundAs::Check:
      view_.SetChecked(control, ReadNumber(bytes, f) != 0);
      if (b.rulesWhenShown) CheckRule(control);
      break;
    case BoundAs::Text: {
      CountedText<kRecordTextLength> text;
      std::memcpy(&text, bytes.data() + f.offset, sizeof text);
      special_.SetRecordText(control, std::string(text.View()));
      break;
    }
    case BoundAs::List: {
      const CoefficientList list = *ListOfField(control);
      view_.SetText(control, FormatList(ListEntries(list, transform_, filter_), ListCount(list, transform_, filter_)));
      break;
    }
  }
}

void TransformDialogPresenter::StoreBound(RecordKind record, std::vector<uint8_t>& bytes) {
  for (const ControlBinding& b : TransformBindings()) {
    if (b.record != record) continue;
    const RecordField& f = b.Field();
    const ControlName control = b.Control();
    switch (b.as) {
      case BoundAs::Number:
        WriteNumber(bytes, f, Number(control));
        break;
      case BoundAs::Item:
        WriteNumber(bytes, f, itemValues_.find(control.View())->second);
        break;
      case BoundAs::Check:
        WriteNumber(bytes, f, view_.Checked(control) ? 1 : 0);
        break;
      case BoundAs::Text: {
        std::string text = special_.RecordText(control).value_or(std::string()).substr(0, kRecordTextLength);
        if (LowerCasesFormula(control, code_)) text = FormulaLowerCase(text);
        CountedText<kRecordTextLength> counted;
        std::memcpy(&counted, bytes.data() + f.offset, sizeof counted);
        counted.Set(text);
        std::memcpy(bytes.data() + f.offset, &counted, sizeof counted);
        break;
      }
      case BoundAs::List:  // the working record's lists, already in place
        break;
    }
  }
}

std::vector<uint8_t> TransformDialogPresenter::ControlsToBytes() {
  code_ = StoredDialogCode(code_);
  if (IsFilter()) {
    // The working record: the lists as edited, the run state untouched.
    alignas(8) FilterParams record = filter_;
    record.TransformCode = CatalogueCodeOfDialogCode(code_);
    std::vector<uint8_t> bytes = RecordBytes(record);
    StoreBound(RecordKind::Filter, bytes);
    return bytes;
  }
  alignas(8) TransformParams record = source_;
  record.TransformCode = CatalogueCodeOfDialogCode(code_);
  record.FftFlags = ComposeFlags();
  record.ConvTapsCount = ClampListCount(transform_.ConvTapsCount);
  std::memcpy(record.ConvTaps, transform_.ConvTaps, sizeof record.ConvTaps);
  std::vector<uint8_t> bytes = RecordBytes(record);
  StoreBound(RecordKind::Transform, bytes);
  return bytes;
}

bool TransformDialogPresenter::SaysNotANumber(const std::optional<std::string>& field) {
  if (field) view_.ShowMessage(NotANumberText(*field, russian_), DialogView::MessageKind::Warning);
  return field.has_value();
}

bool TransformDialogPresenter::Accept() {
  ComposeFlags();
  for (const ControlName name : {"User_func"_ctl, "Basis_func"_ctl}) {
    if (!special_.RecordText(name)) {
      const ControlName label = name == "User_func"_ctl ? "FT_label"_ctl : "Basis_label"_ctl;
      view_.ShowMessage(
          std::string(TransformCaptionOf(label)) + " the text holds characters the system's code page cannot store.",
          DialogView::MessageKind::Warning);
      return false;
    }
  }
  const RecordKind record = IsFilter() ? RecordKind::Filter : RecordKind::Transform;
  std::vector<uint8_t> now = ControlsToBytes();
  // A list entry that is no number stays the user's to correct; a stored
  // number field that is none was shown as a number and is stored as shown.
  if (SaysNotANumber(NonFiniteField(record, now))) return false;
  const bool storedFinite = snapped_ && !NonFiniteField(record, original_);
  result_ = ResultRecord(storedFinite ? original_ : std::vector<uint8_t>(), shown_, std::move(now));
  return true;
}
