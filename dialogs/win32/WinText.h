// Texts between the library (UTF-8 messages, 8-bit ANSI records) and the
// controls (UTF-16).
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
// A record text in the system's ANSI code page.
std::wstring WideFromAnsi(std::string_view text);
// Nothing when a character has no exact ANSI form: a record never receives
// a silently replaced name.
std::optional<std::string> AnsiFromWide(std::wstring_view text);
