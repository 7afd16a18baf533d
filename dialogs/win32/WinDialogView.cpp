#include "WinDialogView.h"

#include <commctrl.h>

#include <algorithm>
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

void WinDialogView::SetNumber(ControlName control, double value) {
  const WinControlRef ref = Ref(control);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", ref.decimals, value);
  dialog_.SetText(ref.id, WideFromUtf8(text));
  if (ref.spinId != 0)
    SendMessageW(GetDlgItem(dialog_.Handle(), ref.spinId), UDM_SETPOS32, 0,
                 static_cast<LPARAM>(static_cast<int32_t>(value)));
}

void WinDialogView::SetRange(ControlName control, double minimum, double maximum) {
  const WinControlRef ref = Ref(control);
  if (ref.spinId == 0) return;  // an edit alone keeps no range: the presenter limits what it reads
  SendMessageW(GetDlgItem(dialog_.Handle(), ref.spinId), UDM_SETRANGE32,
               static_cast<WPARAM>(static_cast<int32_t>(minimum)), static_cast<LPARAM>(static_cast<int32_t>(maximum)));
}

void WinDialogView::SetText(ControlName control, const std::string& text) {
  dialog_.SetText(Ref(control).id, WideFromUtf8(text));
}

std::string WinDialogView::Text(ControlName control) const { return Utf8FromWide(dialog_.Text(Ref(control).id)); }

void WinDialogView::SetChecked(ControlName control, bool checked) {
  SendMessageW(Window(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool WinDialogView::Checked(ControlName control) const {
  return SendMessageW(Window(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void WinDialogView::SetIndex(ControlName control, int32_t index) {
  HWND window = Window(control);
  if (IsClass(window, WC_TABCONTROLW)) {
    SendMessageW(window, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return;
  }
  if (const auto listed = listed_.find(Ref(control).id); listed != listed_.end()) {
    const auto& items = listed->second;
    const auto at = std::find(items.begin(), items.end(), index);
    index = at == items.end() ? -1 : static_cast<int32_t>(at - items.begin());
  }
  SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int32_t WinDialogView::Index(ControlName control) const {
  HWND window = Window(control);
  if (IsClass(window, WC_TABCONTROLW)) return static_cast<int32_t>(SendMessageW(window, TCM_GETCURSEL, 0, 0));
  const auto line = static_cast<int32_t>(SendMessageW(window, CB_GETCURSEL, 0, 0));
  const auto listed = listed_.find(Ref(control).id);
  if (listed == listed_.end() || line < 0 || line >= static_cast<int32_t>(listed->second.size())) return line;
  return listed->second[static_cast<size_t>(line)];
}

void WinDialogView::SetItems(ControlName control, const std::vector<ListItem>& items) {
  HWND window = Window(control);
  SendMessageW(window, CB_RESETCONTENT, 0, 0);
  std::vector<int32_t>& listed = listed_[Ref(control).id];
  listed.clear();
  for (size_t i = 0; i < items.size(); ++i) {
    if (!items[i].offered) continue;
    SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(items[i].text).c_str()));
    listed.push_back(static_cast<int32_t>(i));
  }
}

void WinDialogView::SetVisible(ControlName control, bool visible) {
  const WinControlRef ref = Ref(control);
  dialog_.ShowItem(ref.id, visible);
  if (ref.spinId != 0) dialog_.ShowItem(ref.spinId, visible);
}

void WinDialogView::SetEnabled(ControlName control, bool enabled) {
  const WinControlRef ref = Ref(control);
  EnableWindow(GetDlgItem(dialog_.Handle(), ref.id), enabled ? TRUE : FALSE);
  if (ref.spinId != 0) EnableWindow(GetDlgItem(dialog_.Handle(), ref.spinId), enabled ? TRUE : FALSE);
}

void WinDialogView::SetHint(ControlName control, const std::string& hint) {
  dialog_.SetHint(Ref(control).id, hint.c_str());
}

void WinDialogView::ShowMessage(const std::string& text, MessageKind kind) {
  const UINT icon = kind == MessageKind::Error     ? MB_ICONERROR
                    : kind == MessageKind::Warning ? MB_ICONWARNING
                                                   : MB_ICONINFORMATION;
  dialog_.ShowMessage(WideFromUtf8(text), MB_OK | icon);
}
