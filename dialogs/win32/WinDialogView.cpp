#include "WinDialogView.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>

#include "WinText.h"

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool IsClass(HWND window, const wchar_t* name) { return _wcsicmp(ClassOf(window).c_str(), name) == 0; }

}  // namespace

WinControlRef WinDialogView::Ref(std::string_view name) const {
  if (std::optional<WinControlRef> ref = lookup_(name)) return *ref;
  throw std::logic_error("no control named " + std::string(name));
}

HWND WinDialogView::Window(std::string_view name) const { return GetDlgItem(dialog_.Handle(), Ref(name).id); }

void WinDialogView::SetNumber(std::string_view control, double value) {
  const WinControlRef ref = Ref(control);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", ref.decimals, value);
  dialog_.SetText(ref.id, WideFromUtf8(text));
  if (ref.spinId != 0)
    SendMessageW(GetDlgItem(dialog_.Handle(), ref.spinId), UDM_SETPOS32, 0,
                 static_cast<LPARAM>(static_cast<int32_t>(value)));
}

void WinDialogView::SetRange(std::string_view control, double minimum, double maximum) {
  const WinControlRef ref = Ref(control);
  if (ref.spinId == 0) return;  // an edit alone keeps no range: the presenter limits what it reads
  SendMessageW(GetDlgItem(dialog_.Handle(), ref.spinId), UDM_SETRANGE32,
               static_cast<WPARAM>(static_cast<int32_t>(minimum)), static_cast<LPARAM>(static_cast<int32_t>(maximum)));
}

void WinDialogView::SetText(std::string_view control, const std::string& text) {
  dialog_.SetText(Ref(control).id, WideFromUtf8(text));
}

std::string WinDialogView::Text(std::string_view control) const { return Utf8FromWide(dialog_.Text(Ref(control).id)); }

void WinDialogView::SetChecked(std::string_view control, bool checked) {
  SendMessageW(Window(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool WinDialogView::Checked(std::string_view control) const {
  return SendMessageW(Window(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void WinDialogView::SetIndex(std::string_view control, int32_t index) {
  HWND window = Window(control);
  if (IsClass(window, WC_TABCONTROLW)) {
    SendMessageW(window, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return;
  }
  SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int32_t WinDialogView::Index(std::string_view control) const {
  HWND window = Window(control);
  if (IsClass(window, WC_TABCONTROLW)) return static_cast<int32_t>(SendMessageW(window, TCM_GETCURSEL, 0, 0));
  return static_cast<int32_t>(SendMessageW(window, CB_GETCURSEL, 0, 0));
}

void WinDialogView::SetVisible(std::string_view control, bool visible) {
  const WinControlRef ref = Ref(control);
  dialog_.ShowItem(ref.id, visible);
  if (ref.spinId != 0) dialog_.ShowItem(ref.spinId, visible);
}

void WinDialogView::SetEnabled(std::string_view control, bool enabled) {
  const WinControlRef ref = Ref(control);
  EnableWindow(GetDlgItem(dialog_.Handle(), ref.id), enabled ? TRUE : FALSE);
  if (ref.spinId != 0) EnableWindow(GetDlgItem(dialog_.Handle(), ref.spinId), enabled ? TRUE : FALSE);
}

void WinDialogView::SetHint(std::string_view control, const std::string& hint) {
  dialog_.SetHint(Ref(control).id, hint.c_str());
}

void WinDialogView::ShowMessage(const std::string& text, MessageKind kind) {
  const UINT icon = kind == MessageKind::Error     ? MB_ICONERROR
                    : kind == MessageKind::Warning ? MB_ICONWARNING
                                                   : MB_ICONINFORMATION;
  dialog_.ShowMessage(WideFromUtf8(text), MB_OK | icon);
}
