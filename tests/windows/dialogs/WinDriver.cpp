#include "WinDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

struct Search {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  if (WindowText(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

std::wstring WithoutAmpersand(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text)
    if (c != L'&') out.push_back(c);
  return out;
}

struct ChildSearch {
  std::wstring text;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  const std::wstring text = WindowText(window);
  if (text == search->text || WithoutAmpersand(text) == WithoutAmpersand(search->text)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ListChild(HWND window, LPARAM context) {
  auto* out = reinterpret_cast<std::wstring*>(context);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  *out += std::to_wstring(GetDlgCtrlID(window)) + L" " + cls + L" \"" + WindowText(window) + L"\"" +
          (IsWindowVisible(window) ? L"" : L" (hidden)") + L"\n";
  return TRUE;
}

void PostCommand(HWND control, WORD code) {
  const HWND parent = GetParent(control);
  PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

}  // namespace

DialogExport ExportNamed(const char* name) {
  static HMODULE plugin = LoadLibraryA(RIR_PLUGIN_PATH);
  if (plugin == nullptr) return nullptr;
  return reinterpret_cast<DialogExport>(reinterpret_cast<void*>(GetProcAddress(plugin, name)));
}

std::wstring WindowText(HWND window) {
  const int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(window, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

HWND WaitForWindow(const std::wstring& caption, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    Search search{&caption, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < end);
  return nullptr;
}

HWND ChildById(HWND dialog, int id) { return GetDlgItem(dialog, id); }

HWND ChildByText(HWND dialog, const std::wstring& text) {
  ChildSearch search{text, nullptr};
  EnumChildWindows(dialog, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring DescribeChildren(HWND dialog) {
  std::wstring out;
  EnumChildWindows(dialog, ListChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

void SetEditText(HWND edit, const std::wstring& text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button) { PostCommand(button, BN_CLICKED); }

void PressOk(HWND dialog) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

void PressCancel(HWND dialog) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

void SelectComboItem(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  PostCommand(combo, CBN_SELCHANGE);
}

void SelectTab(HWND tab, int index) {
  SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  NMHDR header{tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

std::wstring CloseLibraryMessage(int ms) {
  HWND box = WaitForWindow(L"Rir_Eda", ms);
  if (box == nullptr) return {};
  // A message box's text is the static control of id 0xFFFF.
  const std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 500 && IsWindow(box); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return text;
}

void Settle(HWND dialog) {
  // A sent message is handled after everything posted before it.
  SendMessageW(dialog, WM_NULL, 0, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  SendMessageW(dialog, WM_NULL, 0, 0);
}

bool RunDriven(const std::wstring& caption, const std::function<void()>& open, const std::function<void(HWND)>& drive) {
  bool appeared = false;
  std::thread driver([&] {
    HWND dialog = WaitForWindow(caption);
    if (dialog == nullptr) return;
    appeared = true;
    Settle(dialog);
    drive(dialog);
    // Still open long after the driver's last step: close it so the test ends.
    for (int i = 0; i < 1000 && IsWindow(dialog); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (IsWindow(dialog)) {
      ADD_FAILURE() << "the dialog stayed open";
      PressCancel(dialog);
    }
  });
  open();
  driver.join();
  return appeared;
}

bool OpenDriven(const char* exportName, FakeExtParameter& host, const std::wstring& caption,
                const std::function<void(HWND)>& drive) {
  DialogExport open = ExportNamed(exportName);
  if (open == nullptr) {
    ADD_FAILURE() << "no export " << exportName;
    return false;
  }
  const bool appeared = RunDriven(
      caption, [&] { open(&host); }, drive);
  EXPECT_TRUE(appeared) << "no window captioned as expected for " << exportName;
  return appeared;
}

bool ScreenshotsWanted() { return std::getenv("RIR_SCREENSHOT_DIR") != nullptr; }

void Screenshot(HWND window, const std::string& name) {
  const char* folder = std::getenv("RIR_SCREENSHOT_DIR");
  if (folder == nullptr) return;
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // bottom-up, as BMP files keep it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
  const DWORD imageSize = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + imageSize;
  const std::string path = std::string(folder) + "\\" + name + ".bmp";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
    std::fwrite(bits, 1, imageSize, f);
    std::fclose(f);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}
