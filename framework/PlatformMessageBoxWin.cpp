#include "PlatformMessageBox.h"

#include <windows.h>

#include <vector>

void ShowPlatformMessageBox(int32_t severity, const std::string& text) {
  const UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND | (severity == 0 ? MB_ICONERROR : MB_ICONINFORMATION);
  // The library's texts are UTF-8; the wide box shows the Russian ones in any
  // system code page. A text that is not UTF-8 goes out as it is.
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, nullptr, 0);
  if (n > 0) {
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, wide.data(), n);
    MessageBoxW(nullptr, wide.data(), L"Rir_Eda", style);
  } else {
    MessageBoxA(nullptr, text.c_str(), "Rir_Eda", style);
  }
}
