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

class QWidget;

// Moves a dialog of its current size to (left, top), kept inside the
// available area of the screen nearest that point, so a stored position from
// another screen layout never opens a modal dialog out of reach.
void MoveOnScreen(QWidget& dialog, int left, int top);
// Gives the focus to the first field of `area` that takes it from the keyboard.
void FocusFirstField(QWidget* area);
// Qt's own translations (standard buttons, file dialogs) for the language.
void UseQtTranslations(const std::string& language);
// Translated texts of the standard buttons, from Qt's own translations.
std::string StandardButtonText(const char* english);
// A test hook: with RIR_DIALOGS_AUTO_ACCEPT set, the dialog about to be
// opened presses its OK button once it is shown, so scripts can run the
// dialogs unattended; message boxes on the way are written to standard
// error and closed.
void AcceptWhenShownIfAsked(const char* okButtonName);
