// What the dialogs need from the plug-in and the host, as plain callables:
// the module keeps no library state, and tests can watch every message the
// dialogs raise. A hook left empty is a service the plug-in does not offer.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct GeneratorParams;

struct DialogHooks {
  // Dialog code of a type name; unknown names show message 22 and give
  // kRirUnknownDialogCode.
  std::function<int32_t(const std::string&)> dialogCodeOf;
  std::function<int32_t(int32_t)> groupOfCode;
  std::function<bool(int32_t)> isFilterCode;
  // Library information message (10: "The formula is entered correctly").
  std::function<void(int32_t)> showInfo;
  // A plain message box with this text.
  std::function<void(const std::string&)> showText;
  // The host's language text becomes the process-wide language.
  std::function<void(const std::string&)> setLanguage;

  // Library error message with its argument.
  std::function<void(int32_t, const std::string&)> showError;
  // Generator kind of a type name; shows message 22 and gives -1 when unknown.
  std::function<int32_t(const std::string&)> generatorKindOf;
  // Help topic of a generator kind ("Geners.htm#Sine"), "" outside the table.
  std::function<std::string(int32_t)> generatorHelpTopic;
  std::function<void(GeneratorParams&)> generatorDefaults;
  // Checks a formula; shows message 15 at the first failure and answers false.
  std::function<bool(const std::string&)> checkFormula;
  // `count` preview samples of the waveform of `kind` from the record.
  std::function<void(int32_t kind, const GeneratorParams&, int32_t count, int64_t* out)> generatorPreview;
  // The host shows this help topic (a full path with its anchor).
  std::function<void(const std::string&)> showHelp;
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
