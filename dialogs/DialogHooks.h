// What the transform and wave dialogs need from the plug-in, as plain
// callables: the module keeps no library state, and tests can watch every
// message the dialogs raise.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct DialogHooks {
  // Dialog code of a type name; unknown names show message 22 and give 29.
  std::function<int32_t(const std::string&)> dialogCodeOf;
  std::function<int32_t(int32_t)> groupOfCode;
  std::function<bool(int32_t)> isFilterCode;
  // Library information message (10: "The formula is entered correctly").
  std::function<void(int32_t)> showInfo;
  // A plain message box with this text.
  std::function<void(const std::string&)> showText;
  // The host's language text becomes the process-wide language.
  std::function<void(const std::string&)> setLanguage;
};

// What the host hands a dialog, read through its parameter interface.
struct DialogRequest {
  std::string typeName;
  std::string language;
  std::string directory;
  std::optional<std::pair<int32_t, int32_t>> position;  // left, top
  std::vector<uint8_t> data;
};

// What a dialog hands back on OK; nothing on Cancel.
struct DialogResult {
  bool accepted = false;
  std::optional<std::pair<int32_t, int32_t>> position;
  std::vector<uint8_t> data;
};

// "RUSSIAN" after conversion to upper case selects the Russian captions.
bool IsRussianLanguage(const std::string& language);
