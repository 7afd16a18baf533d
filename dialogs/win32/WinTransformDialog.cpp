// The transform dialog of the Windows build ("Transformation options"): the
// tree of kinds on the left, the page of the selected kind on the right, the
// signal length, OK and Cancel. Every decision comes from the logic layer
// shared with the Qt dialog; this file only draws and reads controls.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "WinForms.h"
#include "WinTableEditor.h"
#include "WinText.h"
#include "WinTransformIds.h"
#include "framework/CatalogueCodes.h"
#include "logic/CoefficientLists.h"
#include "logic/DialogLanguage.h"
#include "logic/TransformDialogLogic.h"
#include "numeric/ParameterRecords.h"

namespace {

enum class Kind { Label, CenteredLabel, Number, Check, Combo, Field, Group, Tabs, Memo };

// One control of a page, placed relative to the page area.
struct PageControl {
  Kind kind;
  int id;
  const char* name;
  const char* page;
  int tab;  // LMS page: 0 "Main", 1 "Addition"; -1 elsewhere
  int x, y, w, h;
};

constexpr int kPageLeft = 280;
constexpr int kPageTop = 34;
constexpr int kPageWidth = 340;
constexpr int kLabelW = 110;
constexpr int kFieldX = 115;
constexpr int kFieldW = 195;
constexpr int kRowH = 30;

// Rows of label + control.
#define ROW(labelId, label, kind, id, name, page, tab, row, w)                 \
  {Kind::Label, labelId, label, page, tab, 0, (row)*kRowH + 4, kLabelW, 20}, { \
    kind, id, name, page, tab, kFieldX, (row)*kRowH, w, 24                     \
  }

const PageControl kControls[] = {
    {Kind::CenteredLabel, wt_NotParams_label, "NotParams_label", "None", -1, 0, 120, kPageWidth, 20},
    {Kind::CenteredLabel, wt_DisFunc_label, "DisFunc_label", "Disabled", -1, 0, 120, kPageWidth, 20},
    ROW(wt_Alpha_Label, "Alpha_Label", Kind::Number, wt_Win_Alpha, "Win_Alpha", "BlackMan", -1, 0, 150),
    ROW(wt_Beta_label, "Beta_label", Kind::Number, wt_Win_Beta, "Win_Beta", "Kaiser", -1, 0, 150),
    ROW(wt_WinLen_label, "WinLen_label", Kind::Number, wt_WindowLen, "WindowLen", "Windowing", -1, 0, 150),
    {Kind::Label, wt_Flags_label, "Flags_label", "FFT_Flags", -1, 0, 0, 120, 20},
    {Kind::Check, wt_Ck_Forw, "Ck_Forw", "FFT_Flags", -1, 0, 26, 95, 22},
    {Kind::Check, wt_Ck_Inv, "Ck_Inv", "FFT_Flags", -1, 0, 52, 95, 22},
    {Kind::Check, wt_Ck_NoScale, "Ck_NoScale", "FFT_Flags", -1, 0, 78, 95, 22},
    {Kind::Check, wt_Ck_Init, "Ck_Init", "FFT_Flags", -1, 0, 104, 95, 22},
    {Kind::Check, wt_Ck_NoBitRev, "Ck_NoBitRev", "FFT_Flags", -1, 98, 26, 135, 22},
    {Kind::Check, wt_Ck_InBitRev, "Ck_InBitRev", "FFT_Flags", -1, 98, 52, 135, 22},
    {Kind::Check, wt_Ck_OutBitRev, "Ck_OutBitRev", "FFT_Flags", -1, 98, 78, 135, 22},
    {Kind::Check, wt_CK_OutRCPack, "CK_OutRCPack", "FFT_Flags", -1, 236, 26, 104, 22},
    {Kind::Check, wt_CK_OutRCPerm, "CK_OutRCPerm", "FFT_Flags", -1, 236, 52, 104, 22},
    {Kind::Check, wt_CK_InRCPack, "CK_InRCPack", "FFT_Flags", -1, 236, 78, 104, 22},
    {Kind::Check, wt_CK_InRCPerm, "CK_InRCPerm", "FFT_Flags", -1, 236, 104, 104, 22},
    ROW(wt_Freq_label, "Freq_label", Kind::Number, wt_Goertzel_Frequency, "Goertzel_Frequency", "Goertzel", -1, 0, 150),
    ROW(wt_Factor_label, "Factor_label", Kind::Number, wt_Sampl_Factor, "Sampl_Factor", "Sampling", -1, 0, 150),
    ROW(wt_Phase_label, "Phase_label", Kind::Number, wt_Sampl_Phase, "Sampl_Phase", "Sampling", -1, 1, 150),
    ROW(wt_nLags_label, "nLags_label", Kind::Number, wt_Corr_nLags, "Corr_nLags", "Correlation", -1, 0, 150),
    ROW(wt_CorrType_label, "CorrType_label", Kind::Combo, wt_corrType, "corrType", "Correlation", -1, 1, 190),
    ROW(wt_Bit_Order_label, "Bit_Order_label", Kind::Number, wt_BitRev_Order, "BitRev_Order", "Bit Reversed", -1, 0,
        150),
    ROW(wt_Thresh_label, "Thresh_label", Kind::Number, wt_Thresh_param, "Thresh_param", "Thresh", -1, 0, 150),
    ROW(wt_RelOp_label, "RelOp_label", Kind::Combo, wt_Thresh_RelOp, "Thresh_RelOp", "Thresh", -1, 1, 150),
    ROW(wt_Taps_label, "Taps_label", Kind::Field, wt_Conv_H_12D, "Conv_H_12D", "Convolution", -1, 0, kFieldW),
    ROW(wt_Taps_label2, "Taps_label2", Kind::Field, wt_FIRS_Taps, "FIRS_Taps", "FIRS", -1, 0, kFieldW),
    ROW(wt_Delay_label2, "Delay_label2", Kind::Field, wt_FIRS_Delay, "FIRS_Delay", "FIRS", -1, 1, kFieldW),
    {Kind::Check, wt_isMulti_Rate, "isMulti_Rate", "FIRS", -1, 0, 2 * kRowH, 150, 22},
    {Kind::Group, wt_Multi_Rate_Box, "Multi_Rate_Box", "FIRS", -1, 0, 3 * kRowH, kPageWidth, 90},
    {Kind::Label, wt_Up_Factor_label, "Up_Factor_label", "FIRS", -1, 8, 3 * kRowH + 24, 80, 20},
    {Kind::Number, wt_FIRH_UpFactor, "FIRH_UpFactor", "FIRS", -1, 90, 3 * kRowH + 20, 75, 24},
    {Kind::Label, wt_Up_Phase_label, "Up_Phase_label", "FIRS", -1, 172, 3 * kRowH + 24, 80, 20},
    {Kind::Number, wt_FIRH_UpPhase, "FIRH_UpPhase", "FIRS", -1, 255, 3 * kRowH + 20, 75, 24},
    {Kind::Label, wt_Down_Factor_label, "Down_Factor_label", "FIRS", -1, 8, 3 * kRowH + 56, 80, 20},
    {Kind::Number, wt_FIRH_DownFactor, "FIRH_DownFactor", "FIRS", -1, 90, 3 * kRowH + 52, 75, 24},
    {Kind::Label, wt_Down_Phase_label, "Down_Phase_label", "FIRS", -1, 172, 3 * kRowH + 56, 80, 20},
    {Kind::Number, wt_FIRH_DownPhase, "FIRH_DownPhase", "FIRS", -1, 255, 3 * kRowH + 52, 75, 24},
    ROW(wt_IIRTaps_label, "IIRTaps_label", Kind::Field, wt_IIRS_Taps, "IIRS_Taps", "IIRS", -1, 0, kFieldW),
    ROW(wt_IIRSDelay_Label, "IIRSDelay_Label", Kind::Field, wt_IIRS_Delay, "IIRS_Delay", "IIRS", -1, 1, kFieldW),
    {Kind::Check, wt_IIRS_isBiquads, "IIRS_isBiquads", "IIRS", -1, 0, 2 * kRowH, 150, 22},
    ROW(wt_IIRType_label, "IIRType_label", Kind::Combo, wt_IIRS_Type, "IIRS_Type", "IIRS", -1, 3, 190),
    {Kind::Tabs, wt_LMSS_Pages, "LMSS_Pages", "LMSS", -1, 0, 0, kPageWidth, 262},
    ROW(wt_Taps_label3, "Taps_label3", Kind::Field, wt_LMSS_Taps, "LMSS_Taps", "LMSS", 0, 0, kFieldW - 10),
    ROW(wt_Delay_label3, "Delay_label3", Kind::Field, wt_LMSS_Delay, "LMSS_Delay", "LMSS", 0, 1, kFieldW - 10),
    ROW(wt_IIR_type_label, "IIR_type_label", Kind::Combo, wt_LMSS_Type, "LMSS_Type", "LMSS", 0, 2, 180),
    ROW(wt_FKX_label, "FKX_label", Kind::Field, wt_LMSS_Formula, "LMSS_Formula", "LMSS", 0, 3, kFieldW - 10),
    {Kind::Label, wt_Result_label, "Result_label", "LMSS", 0, 10, 4 * kRowH + 4, 100, 20},
    {Kind::Check, wt_LMSS_isAdaptB, "LMSS_isAdaptB", "LMSS", 0, 10, 5 * kRowH, 150, 22},
    ROW(wt_ErrDly_label, "ErrDly_label", Kind::Number, wt_LMSS_ErrDly, "LMSS_ErrDly", "LMSS", 1, 0, 150),
    ROW(wt_Step_label, "Step_label", Kind::Number, wt_LMSS_Step, "LMSS_Step", "LMSS", 1, 1, 150),
    ROW(wt_Leak_label, "Leak_label", Kind::Number, wt_LMSS_Leak, "LMSS_Leak", "LMSS", 1, 2, 150),
    {Kind::Check, wt_LMSH_isMulti, "LMSH_isMulti", "LMSS", 1, 10, 3 * kRowH, 200, 22},
    {Kind::Group, wt_LMSS_Multi_Rate, "LMSS_Multi_Rate", "LMSS", 1, 0, 4 * kRowH, kPageWidth - 24, 78},
    {Kind::Label, wt_Down_label, "Down_label", "LMSS", 1, 18, 4 * kRowH + 24, 95, 20},
    {Kind::Number, wt_LMSS_DwnFactor, "LMSS_DwnFactor", "LMSS", 1, kFieldX, 4 * kRowH + 20, 150, 24},
    {Kind::Label, wt_DownP_label, "DownP_label", "LMSS", 1, 18, 4 * kRowH + 50, 95, 20},
    {Kind::Number, wt_LMSS_DwnPhase, "LMSS_DwnPhase", "LMSS", 1, kFieldX, 4 * kRowH + 46, 150, 24},
    {Kind::Label, wt_Basis_label, "Basis_label", "Users_transform", -1, 0, 0, kPageWidth, 20},
    {Kind::Field, wt_Basis_func, "Basis_func", "Users_transform", -1, 0, 24, kPageWidth - 30, 24},
    {Kind::Label, wt_ListBasis_label, "ListBasis_label", "Users_transform", -1, 0, 58, kPageWidth, 20},
    {Kind::Memo, wt_Basis_memo, "Basis_memo", "Users_transform", -1, 0, 80, kPageWidth, 170},
    {Kind::Label, wt_UserFunc_label, "UserFunc_label", "Users_func", -1, 0, 4, kPageWidth, 20},
    ROW(wt_FT_label, "FT_label", Kind::Field, wt_User_func, "User_func", "Users_func", -1, 1, kFieldW),
    ROW(wt_Coefficient_label, "Coefficient_label", Kind::Number, wt_Add_Sub_coef, "Add_Sub_coef", "Add_Sub", -1, 0,
        150),
    ROW(wt_Mpy_coef_label, "Mpy_coef_label", Kind::Number, wt_Mpy_Div_coef, "Mpy_Div_coef", "Mpy_Div", -1, 0, 150),
};
#undef ROW

// A spin edit's value, kept as the control shows it.
struct NumberBox {
  const NumberControl* control;
  double minimum;
  double maximum;
  double value;
};

std::wstring NumberText(double value, int decimals) {
  char text[400];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return WideFromUtf8(std::string(text, end.ec == std::errc() ? end.ptr : text));
}

std::optional<double> ParseNumber(const std::wstring& text) {
  std::optional<float> entry = ParseEntry(Utf8FromWide(text));
  if (!entry) return std::nullopt;
  // Parsed again in double: the coefficients are stored as doubles.
  const std::string narrow = Utf8FromWide(text);
  size_t first = narrow.find_first_not_of(" \t");
  if (first != std::string::npos && narrow[first] == '+') ++first;
  double value = 0;
  const auto last = narrow.find_last_not_of(" \t");
  std::from_chars(narrow.data() + first, narrow.data() + last + 1, value);
  return value;
}

class TransformDialog : public WinDialog {
 public:
  TransformDialog(const DialogRequest& request, DialogHooks& hooks)
      : WinDialog(640, 360), request_(request), hooks_(hooks), russian_(IsRussianLanguage(request.language)) {
    DefaultTransformRecord(transform_);
    DefaultTransformRecord(source_);
    DefaultFilterRecord(filter_);
  }

  // The block type first: an unknown name says so before anything shows.
  void LoadType() {
    code_ = hooks_.dialogCodeOf ? hooks_.dialogCodeOf(TransformTypeOf(request_.typeName)) : 29;
    groupMode_ = IsGroupDialogCode(code_);
    if (hooks_.setLanguage) hooks_.setLanguage(request_.language);
  }

  std::wstring WindowCaption() const { return WideFromUtf8(CaptionText(kTransformDialogCaption, russian_)); }
  const std::vector<uint8_t>& Record() const { return record_; }

 protected:
  void OnCreate() override {
    building_ = true;
    BuildControls();
    building_ = false;
    LoadRecord();
    SetupTree();
  }

  void OnShow() override {
    Activate();
    shown_ = ControlsToBytes();
    // The first field of the page takes the focus; without one, the tree.
    for (const PageControl& c : kControls) {
      if (c.kind != Kind::Number && c.kind != Kind::Field && c.kind != Kind::Combo && c.kind != Kind::Check) continue;
      HWND control = Item(c.id);
      if (!IsWindowVisible(control) || !IsWindowEnabled(control)) continue;
      PostMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
      break;
    }
  }

  bool OnCommand(int id, int code, HWND) override {
    if (building_ || updating_) return false;
    if (numbers_.count(id) != 0) {
      if (code == EN_KILLFOCUS) Commit(id);
      return true;
    }
    if (code == BN_CLICKED) return Clicked(id);
    if (code == CBN_SELCHANGE) {
      if (id == wt_corrType) CorrTypeChange();
      if (id == wt_Thresh_RelOp) ThreshRelOpChange();
      return true;
    }
    return false;
  }

  LRESULT OnNotify(const NMHDR& header) override {
    const int id = static_cast<int>(header.idFrom);
    if (header.code == UDN_DELTAPOS && numbers_.count(id - 1) != 0) {
      const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
      Commit(id - 1);
      const NumberBox& box = numbers_.at(id - 1);
      SetValue(id - 1, box.value + (change.iDelta > 0 ? box.control->step : -box.control->step));
      return 1;  // the up-down keeps its position: the value is ours
    }
    if (id == wt_TreeView && header.code == TVN_SELCHANGEDW && treeAttached_) {
      ItemSelection();
      return 0;
    }
    if (id == wt_LMSS_Pages && header.code == TCN_SELCHANGE) {
      UpdateVisibility();
      return 0;
    }
    return 0;
  }

  bool OnOk() override {
    for (auto& [id, box] : numbers_) Commit(id);
    ComposeFlags();
    for (int id : {wt_User_func, wt_Basis_func}) {
      if (!AnsiFromWide(Text(id))) {
        ShowMessage(WideFromUtf8(TransformCaptionOf(id == wt_User_func ? "FT_label" : "Basis_label")) +
                        L" the text holds characters the system's code page cannot store.",
                    MB_OK | MB_ICONWARNING);
        return false;
      }
    }
    record_ = ResultRecord(original_, shown_, ControlsToBytes());
    return true;
  }

 private:
  // ---- building ----
  std::wstring CaptionOf(const char* name) const {
    for (const ::Caption& c : TransformCaptions()) {
      if (std::strcmp(c.name, name) == 0) return WideFromUtf8(CaptionText(c, russian_));
    }
    return WideFromUtf8(TransformCaptionOf(name));
  }

  void BuildControls() {
    AddTree(wt_TreeView, 8, 8, 252, 344);
    AddGroup(wt_GroupBox1, CaptionOf("GroupBox1"), 268, 8, 364, 308);
    for (const PageControl& c : kControls) {
      const int x = kPageLeft + c.x + (c.tab >= 0 ? 8 : 0);
      const int y = kPageTop + c.y + (c.tab >= 0 ? 30 : 0);
      switch (c.kind) {
        case Kind::Label:
          AddLabel(c.id, CaptionOf(c.name), x, y, c.w, c.h);
          break;
        case Kind::CenteredLabel:
          AddControl(L"STATIC", c.id, CaptionOf(c.name), SS_CENTER, x, y, c.w, c.h);
          break;
        case Kind::Number: {
          const NumberControl& design = *FindNumberControl(c.name);
          AddEdit(c.id, NumberText(design.value, design.decimals), x, y, c.w, c.h);
          HWND spin =
              AddControl(UPDOWN_CLASSW, c.id + 1, L"", UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_HOTTRACK, 0, 0, 0, 0);
          SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(c.id)), 0);
          SendMessageW(spin, UDM_SETRANGE32, 0, 100);
          SendMessageW(spin, UDM_SETPOS32, 0, 50);
          numbers_[c.id] = NumberBox{&design, design.minimum, design.maximum, design.value};
          break;
        }
        case Kind::Check: {
          AddCheck(c.id, CaptionOf(c.name), x, y, c.w, c.h);
          for (const FlagBox& flag : FftFlagBoxes()) {
            if (std::strcmp(flag.name, c.name) == 0) SetChecked(c.id, flag.checked);
          }
          break;
        }
        case Kind::Combo: {
          const ComboControl& combo = *FindComboControl(c.name);
          std::vector<std::wstring> items;
          for (const char* item : combo.items) items.push_back(WideFromUtf8(item));
          AddCombo(c.id, items, x, y, c.w, c.h);
          SetComboIndex(c.id, combo.selected);
          break;
        }
        case Kind::Field: {
          const bool list = ListOfField(c.name).has_value();
          // Lists are edited in the table editor only, so typed text is never dropped.
          AddEdit(c.id, WideFromAnsi(DesignTextOf(c.name)), x, y, c.w, c.h, list ? ES_READONLY : 0);
          AddButton(c.id + 1, L"...", x + c.w + 2, y, 26, c.h);
          break;
        }
        case Kind::Group:
          AddGroup(c.id, CaptionOf(c.name), x, y, c.w, c.h);
          break;
        case Kind::Tabs:
          // Only the tab strip: the pages' controls sit on the dialog's own
          // background, framed below it, in every theme.
          AddTab(c.id, {WideFromUtf8(kLmsTabs[0]), WideFromUtf8(kLmsTabs[1])}, x, y, c.w, 24);
          AddControl(L"STATIC", c.id + 1, L"", SS_ETCHEDFRAME, x, y + 23, c.w, c.h - 23);
          pageOf_[c.id + 1] = c.page;
          tabOf_[c.id + 1] = -1;
          break;
        case Kind::Memo:
          AddEdit(c.id, L"", x, y, c.w, c.h, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN);
          break;
      }
      pageOf_[c.id] = c.page;
      tabOf_[c.id] = c.tab;
      if (c.kind == Kind::Field) {
        pageOf_[c.id + 1] = c.page;
        tabOf_[c.id + 1] = c.tab;
      }
      if (c.kind == Kind::Number) {
        pageOf_[c.id + 1] = c.page;
        tabOf_[c.id + 1] = c.tab;
      }
    }
    AddLabel(wt_SigLen_label, CaptionOf("SigLen_label"), 268, 329, 100, 20);
    const NumberControl& points = *FindNumberControl("Num_Points");
    AddEdit(wt_Num_Points, NumberText(points.value, 0), 372, 325, 80, 24);
    HWND spin =
        AddControl(UPDOWN_CLASSW, wt_Num_Points + 1, L"", UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_HOTTRACK, 0, 0, 0, 0);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(wt_Num_Points)), 0);
    SendMessageW(spin, UDM_SETRANGE32, 0, 100);
    SendMessageW(spin, UDM_SETPOS32, 0, 50);
    numbers_[wt_Num_Points] = NumberBox{&points, points.minimum, points.maximum, points.value};
    AddButton(wt_PreViewBtn, CaptionOf("PreViewBtn"), 372, 325, 0, 0);
    ShowItem(wt_PreViewBtn, false);
    AddButton(IDOK, L"OK", 462, 325, 80, 26, true);
    AddButton(IDCANCEL, russian_ ? L"Отмена" : L"Cancel", 552, 325, 80, 26);
    EnableItem(wt_IIRS_Type, false);
    SetHint(wt_BitRev_Order, kBitRevOrderHint);
    SetHint(wt_Thresh_param, kThreshParamHint);
    // Shown by rule, not by page: never, or until a kind or a box asks.
    for (int id :
         {wt_Ck_Init, wt_isMulti_Rate, wt_Multi_Rate_Box, wt_Up_Factor_label, wt_FIRH_UpFactor, wt_FIRH_UpFactor + 1,
          wt_Up_Phase_label, wt_FIRH_UpPhase, wt_FIRH_UpPhase + 1, wt_Down_Factor_label, wt_FIRH_DownFactor,
          wt_FIRH_DownFactor + 1, wt_Down_Phase_label, wt_FIRH_DownPhase, wt_FIRH_DownPhase + 1, wt_LMSS_isAdaptB})
      hidden_[id] = true;
    SetLmsMultiRateShown(false);
    // Frames below what they hold, so they never paint over it.
    for (int id : {wt_LMSS_Multi_Rate, wt_Multi_Rate_Box, wt_LMSS_Pages + 1, wt_GroupBox1})
      SetWindowPos(Item(id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    page_ = "None";
    UpdateVisibility();
  }

  void SetLmsMultiRateShown(bool shown) {
    for (int id : {wt_LMSS_Multi_Rate, wt_Down_label, wt_LMSS_DwnFactor, wt_LMSS_DwnFactor + 1, wt_DownP_label,
                   wt_LMSS_DwnPhase, wt_LMSS_DwnPhase + 1})
      hidden_[id] = !shown;
  }

  void UpdateVisibility() {
    const int tab = static_cast<int>(SendMessageW(Item(wt_LMSS_Pages), TCM_GETCURSEL, 0, 0));
    for (const auto& [id, page] : pageOf_) {
      const bool onPage = page_ == page && (tabOf_[id] < 0 || tabOf_[id] == tab);
      ShowItem(id, onPage && !hidden_[id]);
    }
  }

  // ---- numbers ----
  double Value(int id) const { return numbers_.at(id).value; }
  int32_t IntValue(int id) const { return static_cast<int32_t>(numbers_.at(id).value); }

  void ShowNumber(int id) {
    updating_ = true;
    const NumberBox& box = numbers_.at(id);
    const std::wstring text = NumberText(box.value, box.control->decimals);
    if (Text(id) != text) SetText(id, text);
    updating_ = false;
  }

  // The control's value becomes `value`, fitted as the control shows it;
  // a change runs the control's rule unless `notify` is off.
  void SetValue(int id, double value, bool notify = true) {
    NumberBox& box = numbers_.at(id);
    const double fitted = FitNumber(*box.control, value, box.minimum, box.maximum);
    const bool changed = fitted != box.value;
    box.value = fitted;
    ShowNumber(id);
    if (changed && notify) ValueChanged(id);
  }

  // Typed text is taken when the field is left, and before OK.
  void Commit(int id) {
    const std::optional<double> typed = ParseNumber(Text(id));
    if (typed) {
      SetValue(id, *typed);
    } else {
      ShowNumber(id);
    }
  }

  void SetRange(int id, std::optional<double> minimum, std::optional<double> maximum) {
    NumberBox& box = numbers_.at(id);
    if (minimum) box.minimum = *minimum;
    if (maximum) box.maximum = std::max(*maximum, box.minimum);
    SetValue(id, box.value);
  }

  void ValueChanged(int id) {
    switch (id) {
      case wt_Num_Points:
        signalLength_ = IntValue(wt_Num_Points);
        transform_.SignalLength = signalLength_;
        if (IsFirDialogCode(code_))
          SetRange(wt_FIRH_DownFactor, std::nullopt, FirDownFactorMaximumForLength(signalLength_));
        break;
      case wt_Sampl_Factor:
        SamplFactorChange();
        break;
      case wt_Sampl_Phase:
        SamplPhaseChange();
        break;
      case wt_BitRev_Order:
        SetValue(wt_BitRev_Order, LimitBitReverseOrder(IntValue(wt_BitRev_Order), signalLength_), false);
        break;
      case wt_FIRH_UpFactor:
        SetRange(wt_FIRH_UpPhase, std::nullopt, PhaseMaximum(IntValue(wt_FIRH_UpFactor)));
        break;
      case wt_FIRH_DownFactor: {
        const int32_t factor = IntValue(wt_FIRH_DownFactor);
        if (const auto points = NumPointsForDownFactor(IntValue(wt_Num_Points), signalLength_, factor))
          SetValue(wt_Num_Points, *points);
        SetRange(wt_FIRH_DownPhase, std::nullopt, PhaseMaximum(factor));
        break;
      }
      case wt_LMSS_DwnFactor:
        SetRange(wt_LMSS_DwnPhase, std::nullopt, PhaseMaximum(IntValue(wt_LMSS_DwnFactor)));
        break;
      case wt_WindowLen:
        ComposeFlags();
        break;
      default:
        break;
    }
  }

  void SamplPhaseChange() {
    SetValue(wt_Sampl_Phase, LimitSamplingPhase(IntValue(wt_Sampl_Phase), IntValue(wt_Sampl_Factor)), false);
  }

  void SamplFactorChange() {
    SetValue(wt_Sampl_Factor,
             SnapSamplingFactor(IntValue(wt_Sampl_Factor), previousFactor_, signalLength_, code_ == 50), false);
    previousFactor_ = IntValue(wt_Sampl_Factor);
    SamplPhaseChange();
  }

  // ---- flags, combos, buttons ----
  int32_t CheckedFlags() const {
    int32_t checked = 0;
    for (const FlagBox& flag : FftFlagBoxes()) {
      if (Checked(FlagId(flag.name))) checked |= flag.value;
    }
    return checked;
  }

  void SetFlags(int32_t checked) {
    for (const FlagBox& flag : FftFlagBoxes()) SetChecked(FlagId(flag.name), (checked & flag.value) != 0);
  }

  static int FlagId(const char* name) {
    for (const PageControl& c : kControls) {
      if (std::strcmp(c.name, name) == 0) return c.id;
    }
    return 0;
  }

  int32_t ComposeFlags() {
    int32_t enabled = 0;
    for (const FlagBox& flag : FftFlagBoxes()) {
      if (IsWindowEnabled(Item(FlagId(flag.name)))) enabled |= flag.value;
    }
    transform_.FftFlags = ::ComposeFlags(CheckedFlags(), enabled);
    return transform_.FftFlags;
  }

  void ApplyFlagEnableSet(uint32_t set) {
    const int32_t enabled = EnabledFlagBoxes(set);
    for (const FlagBox& flag : FftFlagBoxes()) EnableItem(FlagId(flag.name), (enabled & flag.value) != 0);
  }

  std::string ComboText(int id) const {
    const ComboControl* combo = nullptr;
    for (const PageControl& c : kControls) {
      if (c.id == id) combo = FindComboControl(c.name);
    }
    const int index = ComboIndex(id);
    if (combo == nullptr || index < 0 || index >= static_cast<int>(combo->items.size())) return {};
    return combo->items[static_cast<size_t>(index)];
  }

  void CorrTypeChange() {
    transform_.CorrType = static_cast<uint8_t>(CorrTypeOfText(ComboText(wt_corrType)));
    SetHint(wt_corrType, CorrTypeHint(transform_.CorrType));
  }

  void ThreshRelOpChange() {
    threshRelOp_ = ThreshRelOpOfText(ComboText(wt_Thresh_RelOp));
    SetHint(wt_Thresh_RelOp, ThreshRelOpHint(threshRelOp_));
  }

  bool Clicked(int id) {
    for (const FlagBox& flag : FftFlagBoxes()) {
      if (FlagId(flag.name) == id) {
        SetFlags(FlagBoxesAfterClick(CheckedFlags(), flag.value));
        ComposeFlags();
        return true;
      }
    }
    switch (id) {
      case wt_isMulti_Rate: {
        const bool on = Checked(wt_isMulti_Rate);
        for (int shown :
             {wt_Multi_Rate_Box, wt_Up_Factor_label, wt_FIRH_UpFactor, wt_FIRH_UpFactor + 1, wt_Up_Phase_label,
              wt_FIRH_UpPhase, wt_FIRH_UpPhase + 1, wt_Down_Factor_label, wt_FIRH_DownFactor, wt_FIRH_DownFactor + 1,
              wt_Down_Phase_label, wt_FIRH_DownPhase, wt_FIRH_DownPhase + 1})
          hidden_[shown] = !on;
        filter_.FirMultiRate = on ? 1 : 0;
        UpdateVisibility();
        return true;
      }
      case wt_LMSH_isMulti:
        SetLmsMultiRateShown(Checked(wt_LMSH_isMulti));
        UpdateVisibility();
        return true;
      case wt_User_func + 1:
      case wt_Basis_func + 1:
      case wt_LMSS_Formula + 1:
        // No parsing takes place: the formula is only confirmed.
        if (hooks_.showInfo) hooks_.showInfo(10);
        return true;
      default:
        break;
    }
    for (const ListField& field : TransformListFields()) {
      const int fieldId = FlagId(field.name);
      if (id == fieldId + 1) {
        EditList(fieldId, field.list);
        return true;
      }
    }
    return false;
  }

  void EditList(int fieldId, CoefficientList list) {
    Commit(wt_FIRH_UpFactor);
    const int32_t upFactor = IntValue(wt_FIRH_UpFactor);
    const ListEditPlan plan = PlanListEdit(list, transform_, filter_, Checked(wt_IIRS_isBiquads), upFactor);
    float* entries = ListEntries(list, transform_, filter_);
    WinTableEditor editor;
    editor.LoadList(entries, plan.shown);
    editor.SetMinimumColumns(plan.minimumColumns);
    editor.Run(Handle());
    const ListRead read = ReadList(editor.Cells(), editor.Columns(), entries);
    SetText(fieldId, read.complete ? WideFromUtf8(read.text) : std::wstring());
    FinishListEdit(list, transform_, filter_, plan, read.count, upFactor);
    ComposeFlags();
  }

  // ---- record <-> controls ----
  TransformControls ReadControls() {
    TransformControls c;
    c.numPoints = IntValue(wt_Num_Points);
    c.flagsChecked = CheckedFlags();
    c.winAlpha = Value(wt_Win_Alpha);
    c.winBeta = Value(wt_Win_Beta);
    c.windowLen = IntValue(wt_WindowLen);
    c.goertzelFrequency = Value(wt_Goertzel_Frequency);
    c.samplFactor = IntValue(wt_Sampl_Factor);
    c.samplPhase = IntValue(wt_Sampl_Phase);
    c.corrLags = IntValue(wt_Corr_nLags);
    c.corrType = ComboIndex(wt_corrType);
    c.bitRevOrder = IntValue(wt_BitRev_Order);
    c.threshParam = Value(wt_Thresh_param);
    c.threshRelOp = threshRelOp_;
    c.threshRelOpIndex = ComboIndex(wt_Thresh_RelOp);
    c.userFunc = AnsiFromWide(Text(wt_User_func)).value_or(std::string());
    c.basisFunc = AnsiFromWide(Text(wt_Basis_func)).value_or(std::string());
    c.lmsFormula = AnsiFromWide(Text(wt_LMSS_Formula)).value_or(std::string());
    c.addSubCoef = Value(wt_Add_Sub_coef);
    c.mpyDivCoef = Value(wt_Mpy_Div_coef);
    c.firUpFactor = IntValue(wt_FIRH_UpFactor);
    c.firUpPhase = IntValue(wt_FIRH_UpPhase);
    c.firDownFactor = IntValue(wt_FIRH_DownFactor);
    c.firDownPhase = IntValue(wt_FIRH_DownPhase);
    c.firMultiRate = Checked(wt_isMulti_Rate);
    c.iirType = ComboIndex(wt_IIRS_Type);
    c.iirBiquads = Checked(wt_IIRS_isBiquads);
    c.lmsType = ComboIndex(wt_LMSS_Type);
    c.lmsStep = Value(wt_LMSS_Step);
    c.lmsLeak = Value(wt_LMSS_Leak);
    c.lmsErrDly = IntValue(wt_LMSS_ErrDly);
    c.lmsDownFactor = IntValue(wt_LMSS_DwnFactor);
    c.lmsDownPhase = IntValue(wt_LMSS_DwnPhase);
    c.lmsMultiRate = Checked(wt_LMSH_isMulti);
    c.lmsAdaptive = Checked(wt_LMSS_isAdaptB);
    return c;
  }

  void LoadRecord() {
    alignas(8) FilterParams filterSource = filter_;
    ReadStoredRecord(request_.data, original_, source_, filterSource);
    if (IsFilter()) {
      FilterToControls(filterSource);
    } else {
      TransformToControls(source_);
    }
  }

  bool IsFilter() const { return hooks_.isFilterCode && hooks_.isFilterCode(code_); }

  void ShowSignalLength(bool shown) {
    hidden_[wt_SigLen_label] = !shown;
    ShowItem(wt_SigLen_label, shown);
    ShowItem(wt_Num_Points, shown);
    ShowItem(wt_Num_Points + 1, shown);
  }

  void TransformToControls(const TransformParams& r) {
    const int32_t g = hooks_.groupOfCode ? hooks_.groupOfCode(DialogCodeOfCatalogueCode(r.TransformCode)) : 0;
    ShowSignalLength(ShowsSignalLength(g));
    if (groupMode_) code_ = PreselectedTransformCode(code_, g, r);
    TransformControls c = ReadControls();
    TransformRecordToControls(r, c, transform_);
    SetValue(wt_Num_Points, c.numPoints);
    signalLength_ = IntValue(wt_Num_Points);
    SetFlags(c.flagsChecked);
    ComposeFlags();
    // Shown as stored: the factor and phase rules run when the user edits them.
    SetValue(wt_Sampl_Factor, c.samplFactor, false);
    previousFactor_ = IntValue(wt_Sampl_Factor);
    SetValue(wt_Sampl_Phase, c.samplPhase, false);
    SetValue(wt_Corr_nLags, c.corrLags);
    if (ComboIndex(wt_corrType) != c.corrType) {
      SetComboIndex(wt_corrType, c.corrType);
      CorrTypeChange();
    }
    SetValue(wt_BitRev_Order, c.bitRevOrder, false);
    SetValue(wt_Win_Alpha, c.winAlpha);
    SetValue(wt_Win_Beta, c.winBeta);
    SetValue(wt_Thresh_param, c.threshParam);
    threshRelOp_ = c.threshRelOp;
    if (c.threshRelOp == 0 || c.threshRelOp == 1) {
      SetComboIndex(wt_Thresh_RelOp, c.threshRelOpIndex);
      ThreshRelOpChange();
    }
    SetText(wt_User_func, WideFromAnsi(c.userFunc));
    SetText(wt_Basis_func, WideFromAnsi(c.basisFunc));
    SetText(wt_Conv_H_12D, WideFromUtf8(c.convTaps));
    SetValue(wt_Add_Sub_coef, c.addSubCoef);
    SetValue(wt_Mpy_Div_coef, c.mpyDivCoef);
    SetValue(wt_Goertzel_Frequency, c.goertzelFrequency);
  }

  void FilterToControls(const FilterParams& r) {
    ShowSignalLength(false);
    TransformControls c = ReadControls();
    FilterRecordToControls(r, c, filter_);
    if (groupMode_) code_ = PreselectedFilterCode(r);
    SetText(wt_FIRS_Taps, WideFromUtf8(c.firTaps));
    SetText(wt_FIRS_Delay, WideFromUtf8(c.firDelay));
    SetText(wt_IIRS_Taps, WideFromUtf8(c.iirTaps));
    SetText(wt_IIRS_Delay, WideFromUtf8(c.iirDelay));
    SetText(wt_LMSS_Taps, WideFromUtf8(c.lmsTaps));
    SetText(wt_LMSS_Delay, WideFromUtf8(c.lmsDelay));
    // Factors first: they set the limits of their phases.
    SetValue(wt_FIRH_UpFactor, c.firUpFactor);
    SetValue(wt_FIRH_DownFactor, c.firDownFactor);
    SetValue(wt_FIRH_UpPhase, c.firUpPhase);
    SetValue(wt_FIRH_DownPhase, c.firDownPhase);
    SetChecked(wt_isMulti_Rate, c.firMultiRate);
    SetComboIndex(wt_IIRS_Type, c.iirType);
    SetChecked(wt_IIRS_isBiquads, c.iirBiquads);
    SetComboIndex(wt_LMSS_Type, c.lmsType);
    SetValue(wt_LMSS_Step, c.lmsStep);
    SetValue(wt_LMSS_Leak, c.lmsLeak);
    SetValue(wt_LMSS_ErrDly, c.lmsErrDly);
    SetValue(wt_LMSS_DwnFactor, c.lmsDownFactor);
    SetValue(wt_LMSS_DwnPhase, c.lmsDownPhase);
    SetChecked(wt_LMSH_isMulti, c.lmsMultiRate);
    SetLmsMultiRateShown(c.lmsMultiRate);
    SetChecked(wt_LMSS_isAdaptB, c.lmsAdaptive);
  }

  std::vector<uint8_t> ControlsToBytes() {
    code_ = StoredDialogCode(code_);
    if (IsFilter()) return RecordBytes(ControlsToFilterRecord(ReadControls(), filter_, code_));
    const int32_t flags = ComposeFlags();
    return RecordBytes(ControlsToTransformRecord(ReadControls(), source_, transform_, code_, flags));
  }

  // ---- tree and pages ----
  void SetupTree() {
    treeAttached_ = false;
    const int32_t group = hooks_.groupOfCode ? hooks_.groupOfCode(code_) : 0;
    const std::vector<KindItem> items = PruneKindTree(code_, groupMode_, group);
    HWND tree = Item(wt_TreeView);
    HTREEITEM parent = TVI_ROOT;
    HTREEITEM chosen = nullptr;
    for (const KindItem& item : items) {
      const std::wstring caption = WideFromUtf8(item.caption);
      TVINSERTSTRUCTW insert{};
      insert.hParent = item.child ? parent : TVI_ROOT;
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT | TVIF_PARAM;
      insert.item.pszText = const_cast<wchar_t*>(caption.c_str());
      insert.item.lParam = item.code;
      const auto handle =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
      if (!item.child) parent = handle;
      if (item.code == code_) chosen = handle;
    }
    if (chosen != nullptr) {
      if (HTREEITEM up = TreeView_GetParent(tree, chosen)) TreeView_Expand(tree, up, TVE_EXPAND);
      TreeView_SelectItem(tree, chosen);
      ItemSelection();
    }
    if (ExpandAllKinds(code_)) {
      for (HTREEITEM top = TreeView_GetRoot(tree); top != nullptr; top = TreeView_GetNextSibling(tree, top))
        TreeView_Expand(tree, top, TVE_EXPAND);
    }
    treeAttached_ = true;
  }

  void ItemSelection() {
    HWND tree = Item(wt_TreeView);
    HTREEITEM selected = TreeView_GetSelection(tree);
    if (selected == nullptr) return;
    if (TreeView_GetParent(tree, selected) == nullptr) TreeView_Expand(tree, selected, TVE_EXPAND);
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = selected;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const int32_t code = static_cast<int32_t>(item.lParam);
    const KindSelection kind = SelectKind(code);
    page_ = kind.page;
    if (kind.threshMinimum) SetRange(wt_Thresh_param, *kind.threshMinimum, std::nullopt);
    if (kind.threshRelOpEnabled) EnableItem(wt_Thresh_RelOp, *kind.threshRelOpEnabled);
    if (kind.snapsSamplingFactor) SamplFactorChange();
    if (kind.flagEnableSet) ApplyFlagEnableSet(*kind.flagEnableSet);
    if (kind.iirDelayShown) {
      hidden_[wt_IIRSDelay_Label] = !*kind.iirDelayShown;
      hidden_[wt_IIRS_Delay] = !*kind.iirDelayShown;
      hidden_[wt_IIRS_Delay + 1] = !*kind.iirDelayShown;
    }
    hidden_[wt_LMSS_isAdaptB] = !kind.adaptiveShown;
    for (int id : {wt_LMSS_Formula, wt_LMSS_Formula + 1, wt_Result_label}) hidden_[id] = !kind.formulaShown;
    EnableItem(wt_PreViewBtn, kind.previewEnabled);
    if (kind.previewEnabled) ComposeFlags();
    helpContext_ = kind.helpContext;
    code_ = code;
    UpdateVisibility();
  }

  void Activate() {
    signalLength_ = IntValue(wt_Num_Points);
    SetRange(wt_Corr_nLags, std::nullopt, signalLength_);
    previousFactor_ = IntValue(wt_Sampl_Factor);
    SetRange(wt_FIRH_DownFactor, std::nullopt, FirDownFactorMaximum(signalLength_));
    ComposeFlags();
  }

  const DialogRequest& request_;
  DialogHooks& hooks_;
  bool russian_;
  int32_t code_ = 29;
  bool groupMode_ = false;
  int32_t signalLength_ = 102;
  int32_t previousFactor_ = 2;
  int32_t threshRelOp_ = 1;
  int32_t helpContext_ = 0;
  bool building_ = false;
  bool updating_ = false;
  bool treeAttached_ = false;
  std::string page_ = "None";
  std::map<int, NumberBox> numbers_;
  std::map<int, std::string> pageOf_;
  std::map<int, int> tabOf_;
  std::map<int, bool> hidden_;
  std::vector<uint8_t> original_;
  std::vector<uint8_t> shown_;
  std::vector<uint8_t> record_;
  alignas(8) TransformParams source_{};
  alignas(8) TransformParams transform_{};
  alignas(8) FilterParams filter_{};
};

}  // namespace

DialogResult RunWinTransformDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner) {
  TransformDialog dialog(request, hooks);
  dialog.LoadType();
  DialogResult result;
  result.accepted = dialog.RunModal(owner, dialog.WindowCaption(), request.position);
  if (!result.accepted) return result;
  // The position is stored whether or not the dialog moved.
  result.position = dialog.ClosedAt();
  result.data = dialog.Record();
  return result;
}
