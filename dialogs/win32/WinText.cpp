#include "WinText.h"

#include <windows.h>

#include "dialogs/logic/DialogLanguage.h"

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
  return wide;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) { return ToWide(CP_UTF8, text); }

std::wstring WideFromAnsi(std::string_view text) { return ToWide(CP_ACP, text); }

std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::optional<std::string> AnsiFromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  // A UTF-8 system code page takes neither the flag nor the default-character report.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  BOOL* report = utf8 ? nullptr : &lossy;
  const int n = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, report);
  if (n <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), size, out.data(), n, nullptr, report);
  // The way back must give the same text (a code page without a default
  // character could still map two characters onto one).
  if (lossy || WideFromAnsi(out) != text) return std::nullopt;
  return out;
}

std::wstring WideCaption(const Caption& caption, bool russian) { return WideFromUtf8(CaptionText(caption, russian)); }

std::wstring WideCaption(std::span<const Caption> captions, std::string_view name, bool russian) {
  for (const Caption& c : captions)
    if (name == c.name) return WideCaption(c, russian);
  return WideFromUtf8(name);
}

std::vector<std::wstring> WideItems(std::span<const char* const> items) {
  std::vector<std::wstring> wide;
  for (const char* item : items) wide.push_back(WideFromUtf8(item));
  return wide;
}
