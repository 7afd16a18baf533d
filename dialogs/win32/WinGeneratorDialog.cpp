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
#include "WinForms.h"
#include "WinGeneratorDialog.h"
#include "WinText.h"
#include "logic/DelayUnits.h"
#include "logic/DialogLanguage.h"
#include "logic/GeneratorDialogLogic.h"

namespace {

constexpr int kIdTab = kGeneratorTabId;
constexpr int kIdCheck = kGeneratorCheckId;
constexpr int kIdPreview = kGeneratorPreviewId;
constexpr int kIdRange = kGeneratorRangeId;
constexpr int kIdCanvas = kGeneratorCanvasId;
constexpr int kFirstControlId = kGeneratorFirstControlId;
constexpr int kSpinOffset = kGeneratorSpinOffset, kUnitOffset = kGeneratorUnitOffset,
              kLabelOffset = kGeneratorLabelOffset;
constexpr UINT kFocusFirstField = WM_APP + 1;

// Layout in client pixels.
constexpr int kClientWidth = 620, kClientHeight = 520;
constexpr int kTabX = 10, kTabY = 10, kTabWidth = 512, kTabHeight = 188;
constexpr int kButtonX = 530, kButtonWidth = 80, kButtonHeight = 25;
constexpr int kRowTop = 44, kRowStep = 29, kRowHeight = 23, kLabelX = 22;
constexpr int kEditorRight = kTabX + kTabWidth - 12;
constexpr int kCanvasX = 10, kCanvasY = 208, kCanvasWidth = 600, kCanvasHeight = 302;

int IdOf(size_t index) { return GeneratorControlId(index); }

std::wstring Caption(const char* name, bool russian) {
  const ::Caption* c = FindGeneratorCaption(name);
  return c != nullptr ? WideFromUtf8(CaptionText(*c, russian)) : WideFromUtf8(name);
}

std::string Ascii(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  // Anything outside ASCII becomes a byte that is no digit.
  for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '\x80');
  return out;
}

std::wstring Widened(const char* ascii) {
  std::wstring out;
  for (; *ascii != '\0'; ++ascii) out.push_back(static_cast<wchar_t>(*ascii));
  return out;
}

std::wstring RealText(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return Widened(text);
}

std::wstring WholeText(double value) { return std::to_wstring(static_cast<long long>(value)); }

// A whole number as typed: nothing for an empty or malformed text.
std::optional<double> ParseWhole(const std::wstring& text) {
  if (text.empty()) return std::nullopt;
  wchar_t* end = nullptr;
  const long long v = std::wcstoll(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != L'\0') return std::nullopt;
  return static_cast<double>(v);
}

std::optional<double> ParseReal(const std::wstring& text) {
  if (text.empty()) return std::nullopt;
  std::wstring dotted = text;
  std::replace(dotted.begin(), dotted.end(), L',', L'.');
  wchar_t* end = nullptr;
  const double v = std::wcstod(dotted.c_str(), &end);
  if (end == dotted.c_str() || *end != L'\0' || !std::isfinite(v)) return std::nullopt;
  return v;
}

// Edits of the time editors take digits and control characters only.
LRESULT CALLBACK DigitsOnly(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
  if (message == WM_CHAR && !LongValueKeyAccepted(static_cast<char32_t>(wParam), true)) {
    MessageBeep(MB_OK);
    return 0;
  }
  return CallWindowProcW(previous, edit, message, wParam, lParam);
}

class GeneratorDialog : public WinDialog {
 public:
  GeneratorDialog(const DialogRequest& request, DialogHooks& hooks)
      : WinDialog(kClientWidth, kClientHeight), request_(request), hooks_(hooks) {}
  ~GeneratorDialog() override {
    if (pageBrush_ != nullptr) DeleteObject(pageBrush_);
  }

  DialogResult Run(HWND owner) {
    setup_ = GeneratorPagesOf(request_.typeName, hooks_);
    pageCode_ = setup_.pageCode;
    currentPage_ = setup_.openPage;
    if (hooks_.setLanguage) hooks_.setLanguage(request_.language);
    russian_ = IsRussianLanguage(request_.language);
    record_ = DefaultGeneratorRecord(hooks_);
    if (request_.data.size() == sizeof(GeneratorParams)) std::memcpy(&record_, request_.data.data(), sizeof record_);
    if (pageCode_ < 0) pageCode_ = record_.Kind;

    DialogResult result;
    result.accepted = RunModal(owner, WideFromUtf8(CaptionText(kGeneratorFormCaption, russian_)), request_.position);
    if (!result.accepted) return result;
    if (Moved()) result.position = ClosedAt();
    result.data = GeneratorResultRecord(request_.data, shown_, stored_);
    return result;
  }

 protected:
  void OnCreate() override {
    const auto table = GeneratorControls();
    values_ = RecordToValues(record_);
    ranges_.resize(table.size());
    controlPages_.assign(table.size(), -1);
    for (size_t i = 0; i < table.size(); ++i) ranges_[i] = {table[i].min, table[i].max};
    for (int page = 0; page < kGeneratorPageCount; ++page) BuildPage(page);
    AddButton(IDOK, WideFromUtf8(CaptionText(kOkButtonCaption, russian_)), kButtonX, kTabY, kButtonWidth, kButtonHeight,
              true);
    AddButton(IDCANCEL, WideFromUtf8(CaptionText(kCancelButtonCaption, russian_)), kButtonX, kTabY + 30, kButtonWidth,
              kButtonHeight);
    AddButton(IDHELP, WideFromUtf8(CaptionText(kHelpButtonCaption, russian_)), kButtonX, kTabY + 60, kButtonWidth,
              kButtonHeight);
    AddCanvas(kIdCanvas, kCanvasX, kCanvasY, kCanvasWidth, kCanvasHeight);
    // The tab control goes below the page controls so they draw over it.
    std::vector<std::wstring> tabs;
    for (int page = 0; page < kGeneratorPageCount; ++page) {
      // The random page is never offered.
      if (!setup_.tabVisible[static_cast<size_t>(page)] || page == gpRandom) continue;
      tabPages_.push_back(page);
      tabs.push_back(Caption(kGeneratorPageNames[page], russian_));
    }
    AddTab(kIdTab, tabs, kTabX, kTabY, kTabWidth, kTabHeight);
    SetWindowPos(Item(kIdTab), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowValues();
    Activate();
  }

  void OnShow() override {
    pageColor_ = TabPageColor();
    pageBrush_ = CreateSolidBrush(pageColor_);
    stored_ = ReadRecord();
    shown_ = stored_;
    PostMessageW(Handle(), kFocusFirstField, 0, 0);
  }

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if ((message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) && pageBrush_ != nullptr) {
      // Labels, radio buttons and the group box sit on the tab's page.
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      const bool onPage = id == kIdRange || (id >= kFirstControlId && (id - kFirstControlId) % 10 != kUnitOffset);
      if (!onPage) return 0;
      handled = true;
      SetBkColor(reinterpret_cast<HDC>(wParam), pageColor_);
      return reinterpret_cast<INT_PTR>(pageBrush_);
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
    stored_ = ReadRecord();
    if (!formulaStorable_) {
      ShowMessage(russian_ ? L"Формула содержит символы, которых нет в кодовой странице системы."
                           : L"The formula holds characters the system code page cannot store.",
                  MB_OK | MB_ICONERROR);
      return false;
    }
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (id == IDHELP && code == BN_CLICKED) {
      const std::string path = GeneratorHelpPath(hooks_, request_.directory, pageCode_);
      if (hooks_.showHelp && !path.empty()) hooks_.showHelp(path);
      return true;
    }
    if (id == kIdCheck && code == BN_CLICKED) {
      CheckGeneratorFormula(hooks_, FormulaBytes());
      return true;
    }
    if (id == kIdPreview && code == BN_CLICKED) {
      DrawPreview();
      return true;
    }
    if (id < kFirstControlId || loading_) return false;
    const size_t index = static_cast<size_t>((id - kFirstControlId) / 10);
    const int part = (id - kFirstControlId) % 10;
    const auto table = GeneratorControls();
    if (index >= table.size()) return false;
    const GeneratorControl& c = table[index];
    if (part == 0 && code == EN_CHANGE) {
      EditChanged(index);
      return true;
    }
    if (part == kUnitOffset && code == CBN_SELCHANGE) {
      UnitChanged(index);
      return true;
    }
    if (part == 0 && c.editor == GeneratorEditor::Combo && code == CBN_SELCHANGE) {
      pageCode_ = gpWindowing + WindowTypeIndex();
      DrawPreview();
      return true;
    }
    if (part == 0 && c.editor == GeneratorEditor::Radio && code == BN_CLICKED) {
      PageChanged();
      return true;
    }
    return false;
  }

  LRESULT OnNotify(const NMHDR& header) override {
    if (header.idFrom == kIdTab && header.code == TCN_SELCHANGE) {
      const int tab = TabCtrl_GetCurSel(Item(kIdTab));
      if (tab >= 0 && static_cast<size_t>(tab) < tabPages_.size()) ShowPage(tabPages_[static_cast<size_t>(tab)]);
      PageChanged();
      return 0;
    }
    if (header.code == UDN_DELTAPOS && static_cast<int>(header.idFrom) >= kFirstControlId) {
      const int id = static_cast<int>(header.idFrom);
      const size_t index = static_cast<size_t>((id - kFirstControlId) / 10);
      const auto table = GeneratorControls();
      if (index >= table.size() || (id - kFirstControlId) % 10 != kSpinOffset) return 0;
      const int delta = reinterpret_cast<const NMUPDOWN&>(header).iDelta;
      if (table[index].editor == GeneratorEditor::Delay) {
        StepDelay(index, delta > 0);
        return 1;  // the text holds the value, not the up-down
      }
      if (table[index].editor == GeneratorEditor::RealSpin) {
        StepReal(index, delta > 0);
        return 1;
      }
    }
    return 0;
  }

  void OnDrawItem(const DRAWITEMSTRUCT& item) override {
    if (item.CtlID == static_cast<UINT>(kIdCanvas)) PaintPreview(item.hDC, item.rcItem);
  }

 private:
  struct Range {
    double min, max;
  };

  // The colour the tab control gives its page (themes draw it lighter than
  // the dialog), read from the control's own drawing.
  COLORREF TabPageColor() const {
    HWND tab = Item(kIdTab);
    RECT r{};
    GetClientRect(tab, &r);
    COLORREF color = CLR_INVALID;
    HDC screen = GetDC(tab);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    if (r.right > 0 && r.bottom > 0) color = GetPixel(dc, r.right / 2, r.bottom / 2);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(tab, screen);
    return color == CLR_INVALID ? GetSysColor(COLOR_3DFACE) : color;
  }

  int TextWidth(const std::wstring& text) const {
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, Font());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    return size.cx;
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
      AddGroup(kIdRange, Caption("GroupBox1", russian_), kLabelX, kRowTop - 4, kEditorRight - kLabelX, 3 * kRowStep);
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
        AddLabel(IdOf(i) + kLabelOffset, Caption(c.label, russian_), x, y + 3, labelWidth + 4, 18);
      const int id = IdOf(i);
      switch (c.editor) {
        case GeneratorEditor::Text:
          AddEdit(id, L"", editorX, y, editorWidth, kRowHeight);
          break;
        case GeneratorEditor::Delay: {
          HWND edit = AddEdit(id, L"0", editorX, y, editorWidth - kDelaySelectorWidth - 2, kRowHeight);
          SendMessageW(edit, EM_SETLIMITTEXT, kDelayMaxTextLength, 0);
          SetWindowLongPtrW(edit, GWLP_USERDATA, GetWindowLongPtrW(edit, GWLP_WNDPROC));
          SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DigitsOnly));
          HWND spin = AddControl(UPDOWN_CLASSW, id + kSpinOffset, L"", UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_HOTTRACK, 0,
                                 0, 0, 0);
          SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
          std::vector<std::wstring> units;
          for (const char* unit : kDelayUnitNames) units.push_back(WideFromUtf8(unit));
          AddCombo(id + kUnitOffset, units, editorX + editorWidth - kDelaySelectorWidth, y, kDelaySelectorWidth,
                   kRowHeight);
          SetComboIndex(id + kUnitOffset, 0);
          break;
        }
        case GeneratorEditor::IntSpin:
          AddSpin(id, id + kSpinOffset, editorX, y, editorWidth, kRowHeight, static_cast<int32_t>(c.min),
                  static_cast<int32_t>(c.max), static_cast<int32_t>(c.min));
          break;
        case GeneratorEditor::RealSpin: {
          HWND edit = AddEdit(id, L"", editorX, y, editorWidth, kRowHeight);
          HWND spin = AddControl(UPDOWN_CLASSW, id + kSpinOffset, L"", UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_HOTTRACK, 0,
                                 0, 0, 0);
          SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
          break;
        }
        case GeneratorEditor::Radio:
          // isSingle (the one with a record field) starts the pair.
          AddRadio(id, Caption(c.name, russian_), editorX, y, editorWidth, kRowHeight, c.field != GeneratorField::None);
          break;
        case GeneratorEditor::Combo: {
          std::vector<std::wstring> items;
          if (setup_.ownWindow >= 0) {
            items.push_back(WideFromUtf8(kWindowTypeNames[setup_.ownWindow]));  // a window block offers its own
          } else {
            for (const char* item : kWindowTypeNames) items.push_back(WideFromUtf8(item));
          }
          AddCombo(id, items, editorX, y, editorWidth, kRowHeight);
          SetComboIndex(id, 0);
          break;
        }
      }
      if (c.hint != nullptr) SetHint(id, c.hint);
    }
    if (page == gpFunc) {
      const int y = rowTop + row * kRowStep;
      AddButton(kIdCheck, Caption("BitBtn1", russian_), editorX, y, 90, kButtonHeight);
      AddButton(kIdPreview, Caption("ViewBtn", russian_), editorX + 96, y, 90, kButtonHeight);
    }
  }

  // Only the controls of the active page are shown.
  void ShowPage(int page) {
    currentPage_ = page;
    for (size_t i = 0; i < controlPages_.size(); ++i) {
      const bool shown = controlPages_[i] == page;
      for (int part : {0, kSpinOffset, kUnitOffset, kLabelOffset})
        if (Item(IdOf(i) + part) != nullptr) ShowItem(IdOf(i) + part, shown);
    }
    ShowItem(kIdRange, page == groupPage_);
    ShowItem(kIdCheck, page == gpFunc);
    ShowItem(kIdPreview, page == gpFunc);
  }

  void Activate() {
    const GeneratorActivePage active = ActivePageOf(pageCode_);
    if (active.windowType >= 0 && (setup_.ownWindow < 0 || setup_.ownWindow == active.windowType)) {
      loading_ = true;
      SetComboIndex(IdOf(static_cast<size_t>(GeneratorControlIndex("Wind_type"))),
                    setup_.ownWindow >= 0 ? 0 : active.windowType);
      loading_ = false;
    }
    if (active.page >= 0) {
      const auto at = std::find(tabPages_.begin(), tabPages_.end(), active.page);
      if (at != tabPages_.end()) currentPage_ = active.page;
    }
    if (currentPage_ < 0 && !tabPages_.empty()) currentPage_ = tabPages_.front();
    const auto at = std::find(tabPages_.begin(), tabPages_.end(), currentPage_);
    if (at != tabPages_.end()) TabCtrl_SetCurSel(Item(kIdTab), static_cast<int>(at - tabPages_.begin()));
    ShowPage(currentPage_);
    PageChanged();
  }

  void PageChanged() {
    pageCode_ = PageCodeOfPage(currentPage_, WindowTypeIndex());
    DrawPreview();
  }

  // The Wind_type item as a window type (a window block lists only its own).
  int WindowTypeIndex() const {
    const int index = ComboIndex(IdOf(static_cast<size_t>(GeneratorControlIndex("Wind_type"))));
    if (setup_.ownWindow >= 0) return setup_.ownWindow;
    return index;
  }

  // The record's values into the controls; no rule runs while they load.
  void ShowValues() {
    loading_ = true;
    const auto table = GeneratorControls();
    for (size_t i = 0; i < table.size(); ++i) {
      const GeneratorControl& c = table[i];
      const GeneratorValue& v = values_[i];
      const int id = IdOf(i);
      switch (c.editor) {
        case GeneratorEditor::Text:
          SetText(id, WideFromAnsi(v.text));
          break;
        case GeneratorEditor::Delay: {
          const DelayShown shown = NormaliseDelay(v.whole, 0);
          SetComboIndex(id + kUnitOffset, shown.unit);
          units_[i] = shown.unit;
          SetText(id, WideFromUtf8(LongValueText(shown.longValue)));
          break;
        }
        case GeneratorEditor::IntSpin:
          SetText(id, WholeText(v.number));
          SendMessageW(Item(id + kSpinOffset), UDM_SETPOS32, 0, static_cast<LPARAM>(v.number));
          break;
        case GeneratorEditor::RealSpin:
          SetText(id, RealText(v.number, c.decimals));
          break;
        case GeneratorEditor::Radio:
          SetChecked(id, v.whole != 0);
          break;
        case GeneratorEditor::Combo:
          break;
      }
    }
    loading_ = false;
  }

  int64_t DelayValue(size_t index) const {
    return DelayOf(ParseLongValue(Ascii(Text(IdOf(index)))), ComboIndex(IdOf(index) + kUnitOffset));
  }

  void SetWhole(size_t index, double value) {
    loading_ = true;
    SetText(IdOf(index), WholeText(value));
    loading_ = false;
  }

  void EditChanged(size_t index) {
    const GeneratorControl& c = GeneratorControls()[index];
    const std::wstring text = Text(IdOf(index));
    switch (c.editor) {
      case GeneratorEditor::Delay: {
        const int64_t longValue = ParseLongValue(Ascii(text));
        if (const auto forced = ForcedPeriod(text.empty(), DelayValue(index), longValue)) {
          loading_ = true;
          SetText(IdOf(index), WideFromUtf8(LongValueText(*forced)));
          SendMessageW(Item(IdOf(index)), EM_SETSEL, 0, -1);
          loading_ = false;
        }
        break;
      }
      case GeneratorEditor::IntSpin: {
        const std::optional<double> typed = ParseWhole(text);
        if (!typed) return;  // an empty or unfinished text changes nothing yet
        const double value = std::clamp(*typed, ranges_[index].min, ranges_[index].max);
        values_[index].number = value;
        if (LimitsTypedValue(c.name)) {
          if (const auto limited = LimitedLengthOrConstant(static_cast<int64_t>(value))) {
            values_[index].number = static_cast<double>(*limited);
            SetWhole(index, values_[index].number);
          }
        }
        RangeRules(c.name);
        break;
      }
      case GeneratorEditor::RealSpin: {
        if (const std::optional<double> typed = ParseReal(text))
          values_[index].number = std::clamp(*typed, ranges_[index].min, ranges_[index].max);
        break;
      }
      default:
        break;
    }
    DrawPreview();
  }

  // The bounds of the random ranges follow each other.
  void RangeRules(std::string_view name) {
    auto index = [](const char* n) { return static_cast<size_t>(GeneratorControlIndex(n)); };
    auto setRange = [&](size_t i, double min, double max) {
      ranges_[i] = {min, max};
      SendMessageW(Item(IdOf(i) + kSpinOffset), UDM_SETRANGE32, static_cast<WPARAM>(static_cast<int32_t>(min)),
                   static_cast<LPARAM>(static_cast<int32_t>(max)));
    };
    const size_t maxValue = index("FMaxValue"), minValue = index("FMinValue"), high = index("FHigh"),
                 low = index("FLow");
    if (name == "FMaxValue") {
      setRange(maxValue, values_[minValue].number, ranges_[maxValue].max);
      setRange(minValue, ranges_[minValue].min, values_[maxValue].number);
    } else if (name == "FHigh") {
      setRange(high, values_[low].number, ranges_[high].max);
      setRange(low, ranges_[low].min, values_[high].number);
    } else if (name == "FMinValue" || name == "FLow") {
      if (!Text(IdOf(low)).empty()) {
        setRange(low, ranges_[low].min, values_[high].number);
        if (values_[low].number > values_[high].number) {
          values_[low].number = values_[high].number;
          SetWhole(low, values_[low].number);
        }
      } else {
        values_[low].number = values_[high].number;
        SetWhole(low, values_[low].number);
      }
    }
  }

  void UnitChanged(size_t index) {
    const int unit = ComboIndex(IdOf(index) + kUnitOffset);
    const std::wstring text = Text(IdOf(index));
    // The period editors keep their number (Filter off).
    if (const auto kept = CharactersAfterUnitChange(text.size(), units_[index], unit, false)) {
      loading_ = true;
      SetText(IdOf(index), *kept == 0 ? std::wstring(L"0") : text.substr(0, *kept));
      loading_ = false;
    }
    units_[index] = unit;
    EditChanged(index);
  }

  void StepDelay(size_t index, bool up) {
    const int64_t now = ParseLongValue(Ascii(Text(IdOf(index))));
    const int64_t next = up ? LongValueStepUp(now, 1) : LongValueStepDown(now, 1);
    SetText(IdOf(index), WideFromUtf8(LongValueText(next)));  // the change rules run
  }

  void StepReal(size_t index, bool up) {
    const GeneratorControl& c = GeneratorControls()[index];
    const double next = std::clamp(values_[index].number + (up ? c.step : -c.step), c.min, c.max);
    SetText(IdOf(index), RealText(next, c.decimals));
  }

  // The formula as the record holds it; a character without an ANSI form
  // is not stored.
  std::string FormulaBytes() {
    const std::wstring text = Text(IdOf(static_cast<size_t>(GeneratorControlIndex("Func_Str"))));
    const std::optional<std::string> ansi = AnsiFromWide(text);
    formulaStorable_ = ansi.has_value();
    if (ansi) return *ansi;
    std::string replaced;
    for (wchar_t c : text) replaced.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return replaced;
  }

  GeneratorParams ReadRecord() {
    const auto table = GeneratorControls();
    GeneratorValues values = values_;
    for (size_t i = 0; i < table.size(); ++i) {
      const int id = IdOf(i);
      switch (table[i].editor) {
        case GeneratorEditor::Text:
          values[i].text = FormulaBytes();
          break;
        case GeneratorEditor::Delay:
          values[i].whole = DelayValue(i);
          break;
        case GeneratorEditor::Radio:
          values[i].whole = Checked(id) ? 1 : 0;
          break;
        case GeneratorEditor::Combo:
          values[i].whole = WindowTypeIndex();
          break;
        default:  // the spins' values follow their texts
          break;
      }
    }
    GeneratorParams record = DefaultGeneratorRecord(hooks_);
    ValuesToRecord(values, pageCode_, record);
    if (pageCode_ < 0) pageCode_ = record.Kind;
    return record;
  }

  void DrawPreview() {
    if (PreviewLengthOf(pageCode_) == 0) return;
    previewLength_ = PreviewLengthOf(pageCode_);
    points_ = GeneratorPreviewPoints(hooks_, pageCode_, ReadRecord());
    InvalidateRect(Item(kIdCanvas), nullptr, FALSE);
  }

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
      DrawTextW(dc, Widened(label).c_str(), -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
      const double t = static_cast<double>(count - 1) * k / kTicks;
      const int x = xOf(t);
      MoveToEx(dc, x, plot.top, nullptr);
      LineTo(dc, x, plot.bottom);
      std::snprintf(label, sizeof label, "%.0f", t);
      RECT b{x - 30, plot.bottom + 4, x + 30, height};
      DrawTextW(dc, Widened(label).c_str(), -1, &b, DT_CENTER | DT_TOP | DT_SINGLELINE);
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
  DialogHooks& hooks_;
  GeneratorPageSetup setup_;
  int32_t pageCode_ = kPageCodeFromRecord;
  int currentPage_ = -1;
  int groupPage_ = -1;
  int previewLength_ = kPreviewPoints;
  bool russian_ = false;
  bool loading_ = false;
  bool formulaStorable_ = true;
  GeneratorParams record_{};  // as it came, or the defaults
  GeneratorParams shown_{};   // the controls' record when first shown
  GeneratorParams stored_{};  // the controls' record when OK was pressed
  GeneratorValues values_;
  std::vector<Range> ranges_;
  std::vector<int> controlPages_;
  std::vector<int> tabPages_;
  std::vector<int> units_ = std::vector<int>(GeneratorControls().size(), 0);
  std::vector<int64_t> points_;
  COLORREF pageColor_ = 0;
  HBRUSH pageBrush_ = nullptr;
};

}  // namespace

DialogResult RunWinGeneratorDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner) {
  GeneratorDialog dialog(request, hooks);
  return dialog.Run(owner);
}
