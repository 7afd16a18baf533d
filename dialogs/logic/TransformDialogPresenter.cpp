#include "TransformDialogPresenter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "CoefficientLists.h"
#include "TransformDialogLayout.h"

namespace {

int32_t PageIndex(const char* page) {
  const auto pages = TransformPages();
  for (size_t i = 0; i < pages.size(); ++i) {
    if (std::strcmp(pages[i], page) == 0) return static_cast<int32_t>(i);
  }
  return 0;
}

std::string ComboText(const DialogView& view, const char* name) {
  const ComboControl& combo = *FindComboControl(name);
  const int32_t index = view.Index(name);
  if (index < 0 || index >= static_cast<int32_t>(combo.items.size())) return {};
  return combo.items[static_cast<size_t>(index)];
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

constexpr const char* kFormulaFields[] = {"User_func", "Basis_func", "LMSS_Formula"};

}  // namespace

TransformDialogPresenter::TransformDialogPresenter(DialogView& view, TransformDialogView& special, DialogHooks hooks)
    : view_(view), special_(special), hooks_(std::move(hooks)) {
  DefaultTransformRecord(transform_);
  DefaultTransformRecord(source_);
  DefaultFilterRecord(filter_);
  for (const NumberControl& c : TransformNumberControls())
    numbers_.emplace(c.name, NumberState{&c, c.minimum, c.maximum, c.value});
  for (const FlagBox& flag : FftFlagBoxes()) flagsEnabled_ |= flag.value;
}

void TransformDialogPresenter::Start() {
  Writing writing(writing_);
  // Shown by rule, not by page: never, or until a kind or a box asks.
  for (const char* name :
       {"Ck_Init", "isMulti_Rate", "Multi_Rate_Box", "LMSS_Multi_Rate", "LMSS_isAdaptB", "PreViewBtn"})
    view_.SetVisible(name, false);
  view_.SetEnabled("IIRS_Type", false);
  view_.SetHint("BitRev_Order", kBitRevOrderHint);
  view_.SetHint("Thresh_param", kThreshParamHint);
  view_.SetIndex("Notebook", PageIndex("None"));
}

void TransformDialogPresenter::LoadType(const std::string& typeName) {
  code_ = hooks_.dialogCodeOf ? hooks_.dialogCodeOf(TransformTypeOf(typeName)) : 29;
  groupMode_ = IsGroupDialogCode(code_);
}

void TransformDialogPresenter::LoadSettings(const std::string& language, const std::vector<uint8_t>& data) {
  if (hooks_.setLanguage) hooks_.setLanguage(language);
  const bool russian = IsRussianLanguage(language);
  {
    Writing writing(writing_);
    for (const Caption& c : TransformCaptions()) view_.SetText(c.name, CaptionText(c, russian));
  }
  alignas(8) FilterParams filterSource = filter_;
  ReadStoredRecord(data, original_, source_, filterSource);
  if (IsFilter()) {
    FilterToControls(filterSource);
  } else {
    TransformToControls(source_);
  }
  SetupTree();
}

void TransformDialogPresenter::Activate() {
  signalLength_ = Int("Num_Points");
  SetRange("Corr_nLags", std::nullopt, signalLength_);
  previousFactor_ = Int("Sampl_Factor");
  SetRange("FIRH_DownFactor", std::nullopt, FirDownFactorMaximum(signalLength_));
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

double TransformDialogPresenter::Number(std::string_view name) const { return State(name).value; }

void TransformDialogPresenter::SetValue(std::string_view name, double value, bool notify) {
  NumberState& n = const_cast<NumberState&>(State(name));
  const double fitted = FitNumber(*n.control, value, n.minimum, n.maximum);
  const bool changed = fitted != n.value;
  n.value = fitted;
  {
    Writing writing(writing_);
    view_.SetNumber(name, fitted);
  }
  if (changed && notify) ValueChanged(name);
}

void TransformDialogPresenter::SetRange(std::string_view name, std::optional<double> minimum,
                                        std::optional<double> maximum) {
  NumberState& n = const_cast<NumberState&>(State(name));
  if (minimum) n.minimum = *minimum;
  if (maximum) n.maximum = std::max(*maximum, n.minimum);
  {
    Writing writing(writing_);
    view_.SetRange(name, n.minimum, n.maximum);
  }
  SetValue(name, n.value);
}

void TransformDialogPresenter::NumberEdited(std::string_view name, double value) {
  if (writing_ == 0) SetValue(name, value);
}

void TransformDialogPresenter::NumberTyped(std::string_view name, const std::string& text) {
  if (writing_ != 0) return;
  SetValue(name, ParseNumber(text).value_or(Number(name)));
}

void TransformDialogPresenter::NumberStepped(std::string_view name, bool up) {
  const double step = State(name).control->step;
  NumberEdited(name, Number(name) + (up ? step : -step));
}

void TransformDialogPresenter::ValueChanged(std::string_view name) {
  if (name == "Num_Points") {
    signalLength_ = Int("Num_Points");
    transform_.SignalLength = signalLength_;
    if (IsFirDialogCode(code_)) SetRange("FIRH_DownFactor", std::nullopt, FirDownFactorMaximumForLength(signalLength_));
  } else if (name == "Sampl_Factor") {
    SamplFactorChange();
  } else if (name == "Sampl_Phase") {
    SamplPhaseChange();
  } else if (name == "BitRev_Order") {
    SetValue(name, LimitBitReverseOrder(Int(name), signalLength_), false);
  } else if (name == "FIRH_UpFactor") {
    SetRange("FIRH_UpPhase", std::nullopt, PhaseMaximum(Int(name)));
  } else if (name == "FIRH_DownFactor") {
    if (const auto points = NumPointsForDownFactor(Int("Num_Points"), signalLength_, Int(name)))
      SetValue("Num_Points", *points);
    SetRange("FIRH_DownPhase", std::nullopt, PhaseMaximum(Int(name)));
  } else if (name == "LMSS_DwnFactor") {
    SetRange("LMSS_DwnPhase", std::nullopt, PhaseMaximum(Int(name)));
  } else if (name == "WindowLen") {
    ComposeFlags();
  }
}

void TransformDialogPresenter::SamplPhaseChange() {
  SetValue("Sampl_Phase", LimitSamplingPhase(Int("Sampl_Phase"), Int("Sampl_Factor")), false);
}

void TransformDialogPresenter::SamplFactorChange() {
  const bool up = code_ == DialogCodeOfCatalogueCode(ccUpSample);
  SetValue("Sampl_Factor", SnapSamplingFactor(Int("Sampl_Factor"), previousFactor_, signalLength_, up), false);
  previousFactor_ = Int("Sampl_Factor");
  SamplPhaseChange();
}

// ---- combos, flags, buttons ----

void TransformDialogPresenter::ComboChanged(std::string_view name) {
  if (writing_ != 0) return;
  if (name == "corrType") CorrTypeChange();
  if (name == "Thresh_RelOp") ThreshRelOpChange();
}

void TransformDialogPresenter::CorrTypeChange() {
  transform_.CorrType = static_cast<uint8_t>(CorrTypeOfText(ComboText(view_, "corrType")));
  view_.SetHint("corrType", CorrTypeHint(transform_.CorrType));
}

void TransformDialogPresenter::ThreshRelOpChange() {
  threshRelOp_ = ThreshRelOpOfText(ComboText(view_, "Thresh_RelOp"));
  view_.SetHint("Thresh_RelOp", ThreshRelOpHint(threshRelOp_));
}

int32_t TransformDialogPresenter::CheckedFlags() const {
  int32_t checked = 0;
  for (const FlagBox& flag : FftFlagBoxes()) {
    if (view_.Checked(flag.name)) checked |= flag.value;
  }
  return checked;
}

void TransformDialogPresenter::SetFlags(int32_t checked) {
  Writing writing(writing_);
  for (const FlagBox& flag : FftFlagBoxes()) view_.SetChecked(flag.name, (checked & flag.value) != 0);
}

int32_t TransformDialogPresenter::ComposeFlags() {
  transform_.FftFlags = ::ComposeFlags(CheckedFlags(), flagsEnabled_);
  return transform_.FftFlags;
}

void TransformDialogPresenter::EnableFlagBoxes(uint32_t set) {
  flagsEnabled_ = EnabledFlagBoxes(set);
  Writing writing(writing_);
  for (const FlagBox& flag : FftFlagBoxes()) view_.SetEnabled(flag.name, (flagsEnabled_ & flag.value) != 0);
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
  if (name == "isMulti_Rate") {
    const bool on = view_.Checked(name);
    view_.SetVisible("Multi_Rate_Box", on);
    filter_.FirMultiRate = on ? 1 : 0;
  } else if (name == "LMSH_isMulti") {
    view_.SetVisible("LMSS_Multi_Rate", view_.Checked(name));
  } else if (name == "PreViewBtn") {
    ComposeFlags();
  } else if (std::ranges::find(kFormulaFields, name) != std::end(kFormulaFields)) {
    // No parsing takes place: the formula is only confirmed.
    if (hooks_.showInfo) hooks_.showInfo(10);
  } else if (const auto list = ListOfField(std::string(name).c_str())) {
    EditList(*list, name);
  }
}

void TransformDialogPresenter::EditList(CoefficientList list, std::string_view field) {
  const int32_t upFactor = Int("FIRH_UpFactor");
  const ListEditPlan plan = PlanListEdit(list, transform_, filter_, view_.Checked("IIRS_isBiquads"), upFactor);
  float* entries = ListEntries(list, transform_, filter_);
  const std::vector<std::string> cells = special_.EditTable(entries, plan.shown, plan.minimumColumns);
  const ListRead read = ReadList(cells, static_cast<int32_t>(cells.size()), entries);
  view_.SetText(field, read.complete ? read.text : std::string());
  FinishListEdit(list, transform_, filter_, plan, read.count, upFactor);
  ComposeFlags();
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
    view_.SetIndex("Notebook", PageIndex(page_));
    if (kind.threshRelOpEnabled) view_.SetEnabled("Thresh_RelOp", *kind.threshRelOpEnabled);
    if (kind.iirDelayShown) {
      view_.SetVisible("IIRSDelay_Label", *kind.iirDelayShown);
      view_.SetVisible("IIRS_Delay", *kind.iirDelayShown);
    }
    view_.SetVisible("LMSS_isAdaptB", kind.adaptiveShown);
    view_.SetVisible("LMSS_Formula", kind.formulaShown);
    view_.SetVisible("Result_label", kind.formulaShown);
    view_.SetEnabled("PreViewBtn", kind.previewEnabled);
  }
  if (kind.threshMinimum) SetRange("Thresh_param", *kind.threshMinimum, std::nullopt);
  // The sampling rule runs with the code selected before.
  if (kind.snapsSamplingFactor) SamplFactorChange();
  if (kind.flagEnableSet) EnableFlagBoxes(*kind.flagEnableSet);
  if (kind.previewEnabled) ComposeFlags();
  helpContext_ = kind.helpContext;
  code_ = code;
}

// ---- records ----

bool TransformDialogPresenter::IsFilter() const { return hooks_.isFilterCode && hooks_.isFilterCode(code_); }

TransformControls TransformDialogPresenter::ReadControls() const {
  TransformControls c;
  c.numPoints = Int("Num_Points");
  c.flagsChecked = CheckedFlags();
  c.winAlpha = Number("Win_Alpha");
  c.winBeta = Number("Win_Beta");
  c.windowLen = Int("WindowLen");
  c.goertzelFrequency = Number("Goertzel_Frequency");
  c.samplFactor = Int("Sampl_Factor");
  c.samplPhase = Int("Sampl_Phase");
  c.corrLags = Int("Corr_nLags");
  c.corrType = view_.Index("corrType");
  c.bitRevOrder = Int("BitRev_Order");
  c.threshParam = Number("Thresh_param");
  c.threshRelOp = threshRelOp_;
  c.threshRelOpIndex = view_.Index("Thresh_RelOp");
  c.userFunc = special_.RecordText("User_func").value_or(std::string());
  c.basisFunc = special_.RecordText("Basis_func").value_or(std::string());
  c.lmsFormula = special_.RecordText("LMSS_Formula").value_or(std::string());
  c.addSubCoef = Number("Add_Sub_coef");
  c.mpyDivCoef = Number("Mpy_Div_coef");
  c.firUpFactor = Int("FIRH_UpFactor");
  c.firUpPhase = Int("FIRH_UpPhase");
  c.firDownFactor = Int("FIRH_DownFactor");
  c.firDownPhase = Int("FIRH_DownPhase");
  c.firMultiRate = view_.Checked("isMulti_Rate");
  c.iirType = view_.Index("IIRS_Type");
  c.iirBiquads = view_.Checked("IIRS_isBiquads");
  c.lmsType = view_.Index("LMSS_Type");
  c.lmsStep = Number("LMSS_Step");
  c.lmsLeak = Number("LMSS_Leak");
  c.lmsErrDly = Int("LMSS_ErrDly");
  c.lmsDownFactor = Int("LMSS_DwnFactor");
  c.lmsDownPhase = Int("LMSS_DwnPhase");
  c.lmsMultiRate = view_.Checked("LMSH_isMulti");
  c.lmsAdaptive = view_.Checked("LMSS_isAdaptB");
  return c;
}

void TransformDialogPresenter::TransformToControls(const TransformParams& r) {
  const int32_t g = hooks_.groupOfCode ? hooks_.groupOfCode(DialogCodeOfCatalogueCode(r.TransformCode)) : 0;
  Writing writing(writing_);
  view_.SetVisible("SigLen_label", ShowsSignalLength(g));
  view_.SetVisible("Num_Points", ShowsSignalLength(g));
  if (groupMode_) code_ = PreselectedTransformCode(code_, g, r);
  TransformControls c = ReadControls();
  TransformRecordToControls(r, c, transform_);
  SetValue("Num_Points", c.numPoints);
  signalLength_ = Int("Num_Points");
  SetFlags(c.flagsChecked);
  ComposeFlags();
  // Shown as stored: the factor and phase rules run when the user edits them.
  SetValue("Sampl_Factor", c.samplFactor, false);
  previousFactor_ = Int("Sampl_Factor");
  SetValue("Sampl_Phase", c.samplPhase, false);
  SetValue("Corr_nLags", c.corrLags);
  if (view_.Index("corrType") != c.corrType) {
    view_.SetIndex("corrType", c.corrType);
    CorrTypeChange();
  }
  SetValue("BitRev_Order", c.bitRevOrder, false);
  SetValue("Win_Alpha", c.winAlpha);
  SetValue("Win_Beta", c.winBeta);
  SetValue("Thresh_param", c.threshParam);
  threshRelOp_ = c.threshRelOp;
  if (c.threshRelOp == 0 || c.threshRelOp == 1) {
    view_.SetIndex("Thresh_RelOp", c.threshRelOpIndex);
    ThreshRelOpChange();
  }
  special_.SetRecordText("User_func", c.userFunc);
  special_.SetRecordText("Basis_func", c.basisFunc);
  view_.SetText("Conv_H_12D", c.convTaps);
  SetValue("Add_Sub_coef", c.addSubCoef);
  SetValue("Mpy_Div_coef", c.mpyDivCoef);
  SetValue("Goertzel_Frequency", c.goertzelFrequency);
}

void TransformDialogPresenter::FilterToControls(const FilterParams& r) {
  Writing writing(writing_);
  view_.SetVisible("SigLen_label", false);
  view_.SetVisible("Num_Points", false);
  TransformControls c = ReadControls();
  FilterRecordToControls(r, c, filter_);
  if (groupMode_) code_ = PreselectedFilterCode(r);
  view_.SetText("FIRS_Taps", c.firTaps);
  view_.SetText("FIRS_Delay", c.firDelay);
  view_.SetText("IIRS_Taps", c.iirTaps);
  view_.SetText("IIRS_Delay", c.iirDelay);
  view_.SetText("LMSS_Taps", c.lmsTaps);
  view_.SetText("LMSS_Delay", c.lmsDelay);
  // Factors first: they set the limits of their phases.
  SetValue("FIRH_UpFactor", c.firUpFactor);
  SetValue("FIRH_DownFactor", c.firDownFactor);
  SetValue("FIRH_UpPhase", c.firUpPhase);
  SetValue("FIRH_DownPhase", c.firDownPhase);
  view_.SetChecked("isMulti_Rate", c.firMultiRate);
  view_.SetIndex("IIRS_Type", c.iirType);
  view_.SetChecked("IIRS_isBiquads", c.iirBiquads);
  view_.SetIndex("LMSS_Type", c.lmsType);
  SetValue("LMSS_Step", c.lmsStep);
  SetValue("LMSS_Leak", c.lmsLeak);
  SetValue("LMSS_ErrDly", c.lmsErrDly);
  SetValue("LMSS_DwnFactor", c.lmsDownFactor);
  SetValue("LMSS_DwnPhase", c.lmsDownPhase);
  view_.SetChecked("LMSH_isMulti", c.lmsMultiRate);
  view_.SetVisible("LMSS_Multi_Rate", c.lmsMultiRate);
  view_.SetChecked("LMSS_isAdaptB", c.lmsAdaptive);
}

std::vector<uint8_t> TransformDialogPresenter::ControlsToBytes() {
  code_ = StoredDialogCode(code_);
  if (IsFilter()) return RecordBytes(ControlsToFilterRecord(ReadControls(), filter_, code_));
  const int32_t flags = ComposeFlags();
  return RecordBytes(ControlsToTransformRecord(ReadControls(), source_, transform_, code_, flags));
}

bool TransformDialogPresenter::Accept() {
  ComposeFlags();
  for (const char* name : {"User_func", "Basis_func"}) {
    if (!special_.RecordText(name)) {
      const char* label = std::strcmp(name, "User_func") == 0 ? "FT_label" : "Basis_label";
      view_.ShowMessage(
          std::string(TransformCaptionOf(label)) + " the text holds characters the system's code page cannot store.",
          DialogView::MessageKind::Warning);
      return false;
    }
  }
  result_ = ResultRecord(snapped_ ? original_ : std::vector<uint8_t>(), shown_, ControlsToBytes());
  return true;
}
