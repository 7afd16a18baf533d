#include "WinDialog.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "WinText.h"
#include "logic/DialogLanguage.h"

namespace {

// An empty dialog template: the controls are made in OnCreate.
struct EmptyTemplate {
  DLGTEMPLATE header;
  WORD menu;
  WORD windowClass;
  WORD title;
};

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                               ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)done;
}

HMODULE ThisModule();

// Version 6 of the common controls for the dialogs, from the DLL's own
// manifest, active only while a dialog runs: the host's choice for its own
// windows is left alone. Without the manifest the classic controls serve.
class CommonControlsV6 {
 public:
  CommonControlsV6() {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = ThisModule();
    request.lpResourceName = MAKEINTRESOURCEW(2);
    context_ = CreateActCtxW(&request);
    if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) {
      ReleaseActCtx(context_);
      context_ = INVALID_HANDLE_VALUE;
    }
  }
  ~CommonControlsV6() {
    if (context_ == INVALID_HANDLE_VALUE) return;
    DeactivateActCtx(0, cookie_);
    ReleaseActCtx(context_);
  }
  CommonControlsV6(const CommonControlsV6&) = delete;
  CommonControlsV6& operator=(const CommonControlsV6&) = delete;

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&InitCommonControlsOnce), &module);
  return module;
}

}  // namespace

WinDialog::WinDialog(int clientWidth, int clientHeight) : clientWidth_(clientWidth), clientHeight_(clientHeight) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
}

WinDialog::~WinDialog() {
  if (font_ != nullptr) DeleteObject(font_);
  if (pageBrush_ != nullptr) DeleteObject(pageBrush_);
}

HWND WinDialog::OwnerFromHost(int32_t ownerWindow) {
  if (ownerWindow <= 0) return nullptr;
  const HWND owner = reinterpret_cast<HWND>(static_cast<intptr_t>(ownerWindow));
  return IsWindow(owner) ? owner : nullptr;
}

bool WinDialog::RunModal(HWND owner, const std::wstring& caption,
                         const std::optional<std::pair<int32_t, int32_t>>& position) {
  const CommonControlsV6 look;
  InitCommonControlsOnce();
  caption_ = caption;
  position_ = position;
  EmptyTemplate tpl{};
  tpl.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  tpl.header.cx = 100;
  tpl.header.cy = 50;
  const INT_PTR result =
      DialogBoxIndirectParamW(ThisModule(), &tpl.header, owner, &WinDialog::Procedure, reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  if (result == -1 || result == 0) {
    // No window at all (no desktop to show it on, or an owner that went away).
    throw std::runtime_error("%eng%The dialog window could not be created (error " + std::to_string(GetLastError()) +
                             ")%rus%Не удалось создать окно диалога (ошибка " + std::to_string(GetLastError()) + ")");
  }
  return result == IDOK;
}

INT_PTR CALLBACK WinDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<WinDialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<WinDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return self != nullptr ? self->Dispatch(message, wParam, lParam) : FALSE;
}

INT_PTR WinDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowTextW(hwnd_, caption_.c_str());
      if (font_ != nullptr) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
      OnCreate();
      Place();
      shownAt_ = closedAt_ = WindowTopLeft();
      OnShow();
      return TRUE;  // the focus goes to the first control that takes it
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK && (lParam == 0 || HIWORD(wParam) == BN_CLICKED)) {
        if (OnOk()) Close(true);
        return TRUE;
      }
      if (id == IDCANCEL) {
        Close(false);
        return TRUE;
      }
      return OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    }
    case WM_NOTIFY:
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, OnNotify(*reinterpret_cast<const NMHDR*>(lParam)));
      return TRUE;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    default: {
      bool handled = false;
      const INT_PTR answer = OnMessage(message, wParam, lParam, handled);
      return handled ? answer : FALSE;
    }
  }
}

void WinDialog::Close(bool ok) {
  closedAt_ = WindowTopLeft();
  EndDialog(hwnd_, ok ? IDOK : IDCANCEL);
}

std::pair<int32_t, int32_t> WinDialog::WindowTopLeft() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return {r.left, r.top};
}

void WinDialog::Place() {
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  RECT frame{0, 0, clientWidth_, clientHeight_};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  int32_t left = 0;
  int32_t top = 0;
  if (position_) {
    const POINT wanted{position_->first, position_->second};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(wanted, MONITOR_DEFAULTTONEAREST), &info);
    work = info.rcWork;
    left = position_->first;
    top = position_->second;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    left = work.left + (work.right - work.left - width) / 2;
    top = work.top + (work.bottom - work.top - height) / 2;
  }
  const ScreenRect at =
      KeepOnScreen(left, top, width, height, {work.left, work.top, work.right - work.left, work.bottom - work.top});
  SetWindowPos(hwnd_, nullptr, at.left, at.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND WinDialog::AddControl(const wchar_t* className, int id, const std::wstring& text, DWORD style, int x, int y, int w,
                           int h, DWORD exStyle) {
  HWND control = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), ThisModule(), nullptr);
  if (control != nullptr && font_ != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

HWND WinDialog::AddLabel(int id, const std::wstring& text, int x, int y, int w, int h) {
  return AddControl(L"STATIC", id, text, SS_LEFT, x, y, w, h);
}

HWND WinDialog::AddButton(int id, const std::wstring& text, int x, int y, int w, int h, bool isDefault) {
  HWND b = AddControl(L"BUTTON", id, text, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x, y, w, h);
  if (isDefault) SendMessageW(hwnd_, DM_SETDEFID, static_cast<WPARAM>(id), 0);
  return b;
}

HWND WinDialog::AddEdit(int id, const std::wstring& text, int x, int y, int w, int h, DWORD extraStyle) {
  return AddControl(L"EDIT", id, text, WS_TABSTOP | ES_AUTOHSCROLL | extraStyle, x, y, w, h, WS_EX_CLIENTEDGE);
}

HWND WinDialog::AddUpDown(int spinId, HWND buddy, DWORD extraStyle) {
  HWND spin =
      AddControl(UPDOWN_CLASSW, spinId, L"", UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_HOTTRACK | extraStyle, 0, 0, 0, 0);
  SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  return buddy;
}

HWND WinDialog::AddSpin(int editId, int spinId, int x, int y, int w, int h, int32_t minimum, int32_t maximum) {
  HWND edit = AddUpDown(spinId, AddEdit(editId, L"", x, y, w, h), UDS_SETBUDDYINT | UDS_NOTHOUSANDS);
  SendMessageW(Item(spinId), UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
  return edit;
}

HWND WinDialog::AddCombo(int id, const std::vector<std::wstring>& items, int x, int y, int w, int h, bool editable) {
  // The height includes the drop-down list.
  HWND combo = AddControl(L"COMBOBOX", id, L"", WS_TABSTOP | WS_VSCROLL | (editable ? CBS_DROPDOWN : CBS_DROPDOWNLIST),
                          x, y, w, h + 200);
  for (const std::wstring& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  return combo;
}

HWND WinDialog::AddCheck(int id, const std::wstring& text, int x, int y, int w, int h) {
  return AddControl(L"BUTTON", id, text, WS_TABSTOP | BS_AUTOCHECKBOX, x, y, w, h);
}

HWND WinDialog::AddRadio(int id, const std::wstring& text, int x, int y, int w, int h, bool first) {
  return AddControl(L"BUTTON", id, text, BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), x, y, w, h);
}

HWND WinDialog::AddGroup(int id, const std::wstring& text, int x, int y, int w, int h) {
  return AddControl(L"BUTTON", id, text, BS_GROUPBOX, x, y, w, h);
}

HWND WinDialog::AddTab(int id, const std::vector<std::wstring>& pages, int x, int y, int w, int h) {
  HWND tab = AddControl(WC_TABCONTROLW, id, L"", WS_TABSTOP | WS_CLIPSIBLINGS, x, y, w, h);
  for (size_t i = 0; i < pages.size(); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(pages[i].c_str());
    SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  return tab;
}

HWND WinDialog::AddTree(int id, int x, int y, int w, int h) {
  return AddControl(WC_TREEVIEWW, id, L"",
                    WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS, x, y, w, h,
                    WS_EX_CLIENTEDGE);
}

HWND WinDialog::AddCanvas(int id, int x, int y, int w, int h) {
  return AddControl(L"STATIC", id, L"", SS_OWNERDRAW, x, y, w, h);
}

std::wstring WinDialog::Text(int id) const {
  HWND control = Item(id);
  const int n = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(control, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

void WinDialog::SetText(int id, const std::wstring& text) { SetWindowTextW(Item(id), text.c_str()); }

void WinDialog::ShowItem(int id, bool shown) { ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE); }

COLORREF WinDialog::TabPageColour(int id, int fromBottom) const {
  HWND tab = Item(id);
  RECT r{};
  GetClientRect(tab, &r);
  HDC screen = GetDC(tab);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
  const COLORREF colour = GetPixel(memory, r.right / 2, r.bottom - fromBottom);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(tab, screen);
  return colour;
}

void WinDialog::SetPageColour(COLORREF colour) {
  if (pageBrush_ != nullptr) DeleteObject(pageBrush_);
  pageColour_ = colour;
  pageBrush_ = CreateSolidBrush(colour);
}

INT_PTR WinDialog::OnPage(WPARAM dc) const {
  if (pageBrush_ == nullptr) return 0;
  SetBkColor(reinterpret_cast<HDC>(dc), pageColour_);
  return reinterpret_cast<INT_PTR>(pageBrush_);
}

void WinDialog::SetHint(int id, const char* text) {
  if (tooltip_ == nullptr || !IsWindow(tooltip_)) {
    tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, ThisModule(), nullptr);
    if (tooltip_ == nullptr) return;
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    hinted_.clear();
  }
  std::wstring wide = WideFromUtf8(text != nullptr ? text : "");
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(Item(id));
  info.lpszText = wide.data();  // the tool tip keeps a copy
  const bool known = std::find(hinted_.begin(), hinted_.end(), id) != hinted_.end();
  SendMessageW(tooltip_, known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (!known) hinted_.push_back(id);
}

int WinDialog::ShowMessage(const std::wstring& text, UINT flags) {
  return MessageBoxW(hwnd_, text.c_str(), L"Rir_Eda", flags);
}
