// The generator parameter dialog of the Windows build: the pages, controls,
// rules and preview of the shared generator logic, drawn with Win32 controls
// and GDI.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "WinDialog.h"
#include "WinDialogView.h"
#include "WinForms.h"
#include "WinGeneratorDialog.h"
#include "WinText.h"
#include "dialogs/logic/DelayEditorModel.h"
#include "dialogs/logic/GeneratorPresenter.h"

using namespace generator_controls;

namespace {

constexpr UINT kFocusFirstField = WM_APP + 1;

// Layout in client pixels.
constexpr int kClientWidth = 620, kClientHeight = 520;
constexpr int kTabX = 10, kTabY = 10, kTabWidth = 512, kTabHeight = 188;
constexpr int kButtonX = 530, kButtonWidth = 80, kButtonHeight = 25;
constexpr int kRowTop = 44, kRowStep = 29, kRowHeight = 23, kLabelX = 22;
constexpr int kEditorRight = kTabX + kTabWidth - 12;
constexpr int kCanvasX = 10, kCanvasY = 208, kCanvasWidth = 600, kCanvasHeight = 302;

int IdOf(size_t index) { return GeneratorControlId(index); }

std::wstring Caption(std::string_view name, bool russian) { return WideCaption(GeneratorCaptions(), name, russian); }

// Edits of the time editors take what their model accepts: digits and
// control characters.
LRESULT CALLBACK DigitsOnly(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
  if (message == WM_CHAR && !DelayEditorModel().Accepts(static_cast<char32_t>(wParam))) {
    MessageBeep(MB_OK);
    return 0;
  }
  return CallWindowProcW(previous, edit, message, wParam, lParam);
}

FormulaCodec AnsiCodec() {
  return {[](const std::string& text) { return AnsiFromWide(WideFromUtf8(text)); },
          [](const std::string& local) { return Utf8FromWide(WideFromAnsi(local)); }};
}

class GeneratorDialog : public WinDialog {
 public:
  GeneratorDialog(const DialogRequest& request, DialogHooks& hooks)
      : WinDialog(kClientWidth, kClientHeight),
        request_(request),
        view_(*this),
        presenter_(view_, view_, hooks, AnsiCodec()) {}

  DialogResult Run(HWND owner) {
    presenter_.SetType(request_.typeName);
    currentPage_ = presenter_.Page();
    presenter_.SetLanguage(request_.language);
    russian_ = presenter_.Russian();
    DialogResult result;
    result.accepted = RunModal(owner, WideCaption(kGeneratorFormCaption, russian_), request_.position);
    if (!result.accepted) return result;
    result.position = presenter_.StoredPosition(ShownAt(), ClosedAt());
    result.data = std::move(result_);
    return result;
  }

 protected:
  void OnCreate() override {
    controlPages_.assign(GeneratorControls().size(), -1);
    for (int page = 0; page < kGeneratorPageCount; ++page) BuildPage(page);
    AddButton(IDOK, WideCaption(kOkButtonCaption, russian_), kButtonX, kTabY, kButtonWidth, kButtonHeight, true);
    AddButton(IDCANCEL, WideCaption(kCancelButtonCaption, russian_), kButtonX, kTabY + 30, kButtonWidth, kButtonHeight);
    AddButton(IDHELP, WideCaption(kHelpButtonCaption, russian_), kButtonX, kTabY + 60, kButtonWidth, kButtonHeight);
    AddCanvas(kGeneratorCanvasId, kCanvasX, kCanvasY, kCanvasWidth, kCanvasHeight);
    // The tab control goes below the page controls so they draw over it.
    std::vector<std::wstring> tabs;
    for (int page = 0; page < kGeneratorPageCount; ++page) {
      if (!presenter_.Offered(page)) continue;
      tabPages_.push_back(page);
      tabs.push_back(Caption(kGeneratorPageNames[page], russian_));
    }
    AddTab(kGeneratorTabId, tabs, kTabX, kTabY, kTabWidth, kTabHeight);
    SetWindowPos(Item(kGeneratorTabId), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    presenter_.Start();
    presenter_.Open(request_.data);
    presenter_.Activate();
  }

  void OnShow() override {
    const COLORREF page = TabPageColour(kGeneratorTabId, kTabHeight / 2);
    SetPageColour(page == CLR_INVALID ? GetSysColor(COLOR_3DFACE) : page);
    PostMessageW(Handle(), kFocusFirstField, 0, 0);
  }

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
      // Labels, radio buttons and the group box sit on the tab's page.
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      handled = id == kGeneratorRangeId ||
                (id >= kGeneratorFirstControlId && (id - kGeneratorFirstControlId) % 10 != kGeneratorUnitOffset);
      return handled ? OnPage(wParam) : 0;
    }
    if (message != kFocusFirstField) return 0;
    handled = true;
    for (size_t i = 0; i < controlPages_.size(); ++i) {
      if (controlPages_[i] != currentPage_ || !IsWindowEnabled(Item(IdOf(i)))) continue;
      SetFocus(Item(IdOf(i)));
      const GeneratorEditor editor = GeneratorControls()[i].editor;
      if (editor != GeneratorEditor::Radio && editor != GeneratorEditor::Combo)
        SendMessageW(Item(IdOf(i)), EM_SETSEL, 0, -1);
      break;
    }
    return 0;
  }

  bool OnOk() override {
    if (!presenter_.Ok()) return false;
    result_ = presenter_.Result();
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (code == BN_CLICKED && id == IDHELP) presenter_.ShowHelp(request_.directory);
    if (code == BN_CLICKED && id == kGeneratorCheckId) presenter_.CheckFormula();
    if (code == BN_CLICKED && id == kGeneratorPreviewId) presenter_.DrawPreview();
    if (id < kGeneratorFirstControlId || quiet_)
      return id == IDHELP || id == kGeneratorCheckId || id == kGeneratorPreviewId;
    const size_t index = static_cast<size_t>((id - kGeneratorFirstControlId) / 10);
    const int part = (id - kGeneratorFirstControlId) % 10;
    if (index >= GeneratorControls().size()) return false;
    const GeneratorControl& c = GeneratorControls()[index];
    if (part == 0 && code == EN_CHANGE) presenter_.ValueChanged(c.name);
    if (part == kGeneratorUnitOffset && code == CBN_SELCHANGE) UnitChanged(index);
    if (part == 0 && c.editor == GeneratorEditor::Combo && code == CBN_SELCHANGE) presenter_.WindowTypeChanged();
    if (part == 0 && c.editor == GeneratorEditor::Radio && code == BN_CLICKED) presenter_.RadioClicked();
    return true;
  }

  LRESULT OnNotify(const NMHDR& header) override {
    if (header.idFrom == kGeneratorTabId && header.code == TCN_SELCHANGE) {
      const int tab = TabCtrl_GetCurSel(Item(kGeneratorTabId));
      if (tab >= 0 && static_cast<size_t>(tab) < tabPages_.size()) ShowPage(tabPages_[static_cast<size_t>(tab)]);
      presenter_.PageSelected(currentPage_);
      return 0;
    }
    if (header.code == UDN_DELTAPOS && static_cast<int>(header.idFrom) >= kGeneratorFirstControlId) {
      const int id = static_cast<int>(header.idFrom);
      const size_t index = static_cast<size_t>((id - kGeneratorFirstControlId) / 10);
      const auto table = GeneratorControls();
      if (index >= table.size() || (id - kGeneratorFirstControlId) % 10 != kGeneratorSpinOffset) return 0;
      const GeneratorEditor editor = table[index].editor;
      if (editor != GeneratorEditor::Delay && editor != GeneratorEditor::RealSpin) return 0;
      const bool up = reinterpret_cast<const NMUPDOWN&>(header).iDelta > 0;
      if (editor == GeneratorEditor::Delay) {
        StepDelay(index, up);
      } else {
        presenter_.NumberStepped(table[index].name, up);
      }
      return 1;  // the text holds the value, not the up-down
    }
    return 0;
  }

  void OnDrawItem(const DRAWITEMSTRUCT& item) override {
    if (item.CtlID == static_cast<UINT>(kGeneratorCanvasId)) PaintPreview(item.hDC, item.rcItem);
  }

 private:
  int TextWidth(const std::wstring& text) const {
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, Font());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    return size.cx;
  }

  // The editor of control i, by its kind, at (x, y), w wide.
  void AddEditor(size_t i, int x, int y, int w) {
    const GeneratorControl& c = GeneratorControls()[i];
    const int id = IdOf(i);
    switch (c.editor) {
      case GeneratorEditor::Text:
        AddEdit(id, L"", x, y, w, kRowHeight);
        break;
      case GeneratorEditor::Delay: {
        HWND edit = AddEdit(id, L"0", x, y, w - kDelaySelectorWidth - 2, kRowHeight);
        SendMessageW(edit, EM_SETLIMITTEXT, kDelayMaxTextLength, 0);
        SetWindowLongPtrW(edit, GWLP_USERDATA, GetWindowLongPtrW(edit, GWLP_WNDPROC));
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DigitsOnly));
        AddUpDown(id + kGeneratorSpinOffset, edit);
        AddCombo(id + kGeneratorUnitOffset, WideItems(kDelayUnitNames), x + w - kDelaySelectorWidth, y,
                 kDelaySelectorWidth, kRowHeight);
        SendMessageW(Item(id + kGeneratorUnitOffset), CB_SETCURSEL, static_cast<WPARAM>(units_[i].Unit()), 0);
        break;
      }
      case GeneratorEditor::IntSpin:
        AddSpin(id, id + kGeneratorSpinOffset, x, y, w, kRowHeight, static_cast<int32_t>(c.min),
                static_cast<int32_t>(c.max));
        break;
      case GeneratorEditor::RealSpin:
        AddUpDown(id + kGeneratorSpinOffset, AddEdit(id, L"", x, y, w, kRowHeight));
        break;
      case GeneratorEditor::Radio:
        // isSingle (the one with a record field) starts the pair.
        AddRadio(id, Caption(c.name, russian_), x, y, w, kRowHeight, c.field != GeneratorField::None);
        break;
      case GeneratorEditor::Combo:  // the presenter fills it
        AddCombo(id, {}, x, y, w, kRowHeight);
        break;
    }
    if (c.hint != nullptr) SetHint(id, c.hint);
  }

  // A page's controls in table order: a label column as wide as its widest
  // label, the editors to the right; the radio buttons in the editor column.
  void BuildPage(int page) {
    const auto table = GeneratorControls();
    int labelWidth = 0;
    for (const GeneratorControl& c : table)
      if (c.page == page && c.label != nullptr)
        labelWidth = std::max(labelWidth, TextWidth(Caption(c.label, russian_)));
    int x = kLabelX;
    int rowTop = kRowTop;
    if (page == gpRandom) {
      AddGroup(kGeneratorRangeId, Caption("GroupBox1"_ctl, russian_), kLabelX, kRowTop - 4, kEditorRight - kLabelX,
               3 * kRowStep);
      groupPage_ = page;
      x += 10;
      rowTop += 18;
    }
    const int editorX = x + labelWidth + 12;
    const int editorWidth = kEditorRight - (page == gpRandom ? 10 : 0) - editorX;
    int row = 0;
    for (size_t i = 0; i < table.size(); ++i) {
      const GeneratorControl& c = table[i];
      if (c.page != page) continue;
      controlPages_[i] = page;
      const int y = rowTop + row * kRowStep;
      ++row;
      if (c.label != nullptr)
        AddLabel(IdOf(i) + kGeneratorLabelOffset, Caption(c.label, russian_), x, y + 3, labelWidth + 4, 18);
      AddEditor(i, editorX, y, editorWidth);
    }
    if (page == gpFunc) {
      const int y = rowTop + row * kRowStep;
      AddButton(kGeneratorCheckId, Caption("BitBtn1"_ctl, russian_), editorX, y, 90, kButtonHeight);
      AddButton(kGeneratorPreviewId, Caption("ViewBtn"_ctl, russian_), editorX + 96, y, 90, kButtonHeight);
    }
  }

  // Only the controls of the active page are shown.
  void ShowPage(int page) {
    currentPage_ = page;
    for (size_t i = 0; i < controlPages_.size(); ++i) {
      const bool shown = controlPages_[i] == page;
      for (int part : {0, kGeneratorSpinOffset, kGeneratorUnitOffset, kGeneratorLabelOffset})
        if (Item(IdOf(i) + part) != nullptr) ShowItem(IdOf(i) + part, shown);
    }
    ShowItem(kGeneratorRangeId, page == groupPage_);
    ShowItem(kGeneratorCheckId, page == gpFunc);
    ShowItem(kGeneratorPreviewId, page == gpFunc);
  }

  int64_t NumberOf(size_t index) const { return ParseLongValue(Utf8FromWide(Text(IdOf(index)))); }
  std::string TextOf(size_t index) const { return Utf8FromWide(Text(IdOf(index))); }
  int UnitOf(size_t index) const {
    return static_cast<int>(SendMessageW(Item(IdOf(index) + kGeneratorUnitOffset), CB_GETCURSEL, 0, 0));
  }

  // The period editors keep their number (Filter off).
  void UnitChanged(size_t index) {
    if (const std::optional<std::string> text = units_[index].SelectUnit(UnitOf(index), TextOf(index))) {
      quiet_ = true;
      SetText(IdOf(index), WideFromUtf8(*text));
      quiet_ = false;
    }
    presenter_.ValueChanged(GeneratorControls()[index].name);
  }

  void StepDelay(size_t index, bool up) {
    // The change rules run as the text changes.
    SetText(IdOf(index), WideFromUtf8(units_[index].Step(TextOf(index), up ? 1 : -1, false).text));
  }

  // A whole time from the program, in the unit its model picks.
  void AssignDelay(size_t index, int64_t delay) {
    const auto written = units_[index].AssignDelay(delay, TextOf(index), false);
    if (!written) return;
    SendMessageW(Item(IdOf(index) + kGeneratorUnitOffset), CB_SETCURSEL, static_cast<WPARAM>(written->unit), 0);
    SetText(IdOf(index), WideFromUtf8(written->text));
  }

  // The presenter's view: controls by their table names, the tab's pages,
  // the time editors and the preview canvas.
  class View : public WinDialogView, public GeneratorView {
   public:
    explicit View(GeneratorDialog& d) : WinDialogView(d, &Lookup), d_(d) {}

    void SetPage(int32_t page) override {
      const auto at = std::find(d_.tabPages_.begin(), d_.tabPages_.end(), page);
      if (at != d_.tabPages_.end())
        TabCtrl_SetCurSel(d_.Item(kGeneratorTabId), static_cast<int>(at - d_.tabPages_.begin()));
      d_.ShowPage(page);
    }
    DelayState Delay(ControlName name) const override {
      const size_t i = Row(name);
      return {d_.Text(IdOf(i)).empty(), d_.units_[i].Delay(d_.TextOf(i)), d_.NumberOf(i)};
    }
    void SetDelay(ControlName name, int64_t delay) override { d_.AssignDelay(Row(name), delay); }
    void SetDelayNumber(ControlName name, int64_t number) override {
      d_.SetText(IdOf(Row(name)), WideFromUtf8(LongValueText(number)));
      SendMessageW(d_.Item(IdOf(Row(name))), EM_SETSEL, 0, -1);
    }
    std::optional<double> Typed(ControlName name) const override {
      const bool real = GeneratorControls()[Row(name)].editor == GeneratorEditor::RealSpin;
      return ParseTypedNumber(Utf8FromWide(d_.Text(IdOf(Row(name)))), real);
    }
    void ShowPreview(const std::vector<int64_t>& points, int32_t length) override {
      d_.points_ = points;
      d_.previewLength_ = length;
      InvalidateRect(d_.Item(kGeneratorCanvasId), nullptr, FALSE);
    }

   private:
    static size_t Row(std::string_view name) { return static_cast<size_t>(GeneratorControlIndex(name)); }
    static std::optional<WinControlRef> Lookup(std::string_view name) {
      const int32_t i = GeneratorControlIndex(name);
      if (i < 0) return std::nullopt;
      const GeneratorControl& c = GeneratorControls()[static_cast<size_t>(i)];
      const int id = IdOf(static_cast<size_t>(i));
      return WinControlRef{id, c.editor == GeneratorEditor::IntSpin ? id + kGeneratorSpinOffset : 0, c.decimals};
    }
    GeneratorDialog& d_;
  };

  // A line chart with axes: grid, tick labels, the points as a red line.
  void PaintPreview(HDC target, const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, Font());
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);

    const auto [low, high] = PreviewValueRange(points_);
    const int count = std::max(previewLength_, 2);
    const RECT plot{56, 12, width - 16, height - 26};
    auto xOf = [&](double x) {
      return plot.left + static_cast<int>(std::lround((plot.right - plot.left) * x / (count - 1)));
    };
    auto yOf = [&](double y) {
      return plot.bottom - static_cast<int>(std::lround((plot.bottom - plot.top) * (y - low) / (high - low)));
    };
    HPEN gridPen = CreatePen(PS_SOLID, 1, RGB(224, 224, 224));
    HPEN axisPen = CreatePen(PS_SOLID, 1, RGB(96, 96, 96));
    HGDIOBJ oldPen = SelectObject(dc, gridPen);
    SetTextColor(dc, RGB(64, 64, 64));
    constexpr int kTicks = 4;
    for (int k = 0; k <= kTicks; ++k) {
      const double v = low + (high - low) * k / kTicks;
      const int y = yOf(v);
      MoveToEx(dc, plot.left, y, nullptr);
      LineTo(dc, plot.right, y);
      char label[32];
      std::snprintf(label, sizeof label, "%g", v);
      RECT r{0, y - 8, plot.left - 6, y + 8};
      DrawTextW(dc, WideFromUtf8(label).c_str(), -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
      const double t = static_cast<double>(count - 1) * k / kTicks;
      const int x = xOf(t);
      MoveToEx(dc, x, plot.top, nullptr);
      LineTo(dc, x, plot.bottom);
      std::snprintf(label, sizeof label, "%.0f", t);
      RECT b{x - 30, plot.bottom + 4, x + 30, height};
      DrawTextW(dc, WideFromUtf8(label).c_str(), -1, &b, DT_CENTER | DT_TOP | DT_SINGLELINE);
    }
    SelectObject(dc, axisPen);
    MoveToEx(dc, plot.left, plot.top, nullptr);
    LineTo(dc, plot.left, plot.bottom);
    LineTo(dc, plot.right, plot.bottom);
    if (!points_.empty()) {
      std::vector<POINT> line(points_.size());
      for (size_t i = 0; i < points_.size(); ++i)
        line[i] = {xOf(static_cast<double>(i)), yOf(static_cast<double>(points_[i]))};
      HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
      SelectObject(dc, red);
      Polyline(dc, line.data(), static_cast<int>(line.size()));
      SelectObject(dc, axisPen);
      DeleteObject(red);
    }
    BitBlt(target, area.left, area.top, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(gridPen);
    DeleteObject(axisPen);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }

  const DialogRequest& request_;
  View view_;
  GeneratorPresenter presenter_;
  std::vector<uint8_t> result_;
  int currentPage_ = -1;
  int groupPage_ = -1;
  int previewLength_ = kPreviewPoints;
  bool russian_ = false;
  bool quiet_ = false;
  std::vector<int> controlPages_;
  std::vector<int> tabPages_;
  std::vector<DelayEditorModel> units_ = std::vector<DelayEditorModel>(GeneratorControls().size());
  std::vector<int64_t> points_;
};

}  // namespace

DialogResult RunWinGeneratorDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner) {
  GeneratorDialog dialog(request, hooks);
  return dialog.Run(owner);
}
