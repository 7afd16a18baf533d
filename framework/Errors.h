// Bilingual library messages and the one place that presents them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Process-wide language text; "RUSSIAN" (exact case) selects Russian.
extern std::string Language;

// Message numbers of the table; every other number has an empty text.
enum LibMessage : int {
  msgCantLoadLibrary = 0,
  msgCantFindFunction = 1,
  msgFileAlreadyLoaded = 5,
  msgInvalidDskFile = 8,
  msgIncorrectOperation = 9,
  msgIncorrectInputValues = 10,
  msgInvalidDspFile = 11,
  msgInvalidDsfFile = 12,
  msgSignalLengthPowerOfTwo = 13,
  msgBadFormula = 15,
  msgFileWriteFailure = 20,
  msgFileCreateFailure = 21,
  msgNameNotFound = 22,
};
enum LibInfo : int { infoFormulaCorrect = 10 };

// The stored bilingual text of an error message: "%eng%" English "%rus%" Russian.
std::string ErrorMessageText(int number, std::string_view arg);
// The stored bilingual text of an information message.
std::string InfoMessageText(int number);

// The part of a bilingual text for the current Language.
std::string SelectLanguage(std::string_view message);

// Shows error `number` ("RIR Eda Err:" + text) and returns when it is closed.
// `languageText` is accepted for the callers' convenience; Language decides.
void ShowLibError(int number, std::string_view languageText = {}, std::string_view arg = {});
// Shows information message `number`.
void ShowLibInfo(int number, std::string_view languageText = {});

// Presenting messages: severity 0 = error box, 1 = information box.
enum MessageSeverity : int32_t { msError = 0, msInfo = 1 };
using MessageHandler = void (*)(int32_t severity, const char* text, void* context);

// The host's handler wins; otherwise the dialog module's presenter (real
// message boxes while it is loaded); otherwise standard error, never blocking.
void SetHostMessageHandler(MessageHandler handler, void* context);
void SetModuleMessagePresenter(MessageHandler presenter, void* context);
void PresentMessage(int32_t severity, const std::string& text);
