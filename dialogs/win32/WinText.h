// Texts between the library (UTF-8 messages, 8-bit ANSI records) and the
// controls (UTF-16).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct Caption;

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
// A record text in the system's ANSI code page.
std::wstring WideFromAnsi(std::string_view text);
// Nothing when a character has no exact ANSI form: a record never receives
// a silently replaced name.
std::optional<std::string> AnsiFromWide(std::wstring_view text);

// A caption in the dialog's language.
std::wstring WideCaption(const Caption& caption, bool russian);
// The caption of `name` in the table; the name itself when it has none.
std::wstring WideCaption(std::span<const Caption> captions, std::string_view name, bool russian);
// The items of a list or a tab strip.
std::vector<std::wstring> WideItems(std::span<const char* const> items);
