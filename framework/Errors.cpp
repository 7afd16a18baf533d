#include "Errors.h"

#include <cstdio>

#ifdef _WIN32
#include "PlatformMessageBox.h"
#endif

std::string Language;

namespace {

struct Bilingual {
  const char* english;
  const char* russian;
};

std::string Compose(std::string_view english, std::string_view russian) {
  std::string text = "%eng%";
  text.append(english).append("%rus%").append(russian);
  return text;
}

MessageHandler g_hostHandler = nullptr;
void* g_hostContext = nullptr;
MessageHandler g_modulePresenter = nullptr;
void* g_moduleContext = nullptr;

}  // namespace

std::string ErrorMessageText(int number, std::string_view arg) {
  const std::string a(arg);
  switch (number) {
    case msgCantLoadLibrary:
      return Compose("Can't load library (" + a + ")", "Не могу загрузить билиотеку (" + a + ")");
    case msgCantFindFunction:
      return Compose("Can't find function in library", "Не могу найти функцию в библиотеке");
    case msgFileAlreadyLoaded:
      return Compose("The file already is loaded", "Файл уже загружен");
    case msgInvalidDskFile:
      return Compose("Invalid DSK file", "Неверный формат DSK файла");
    case msgIncorrectOperation:
      return Compose("Incorrect operation", "Некорректная операция");
    case msgIncorrectInputValues:
      return Compose("Incorrect input values", "Некорректные исходные значения");
    case msgInvalidDspFile:
      return Compose("Invalid DSP file", "Неверный DSP формат файла");
    case msgInvalidDsfFile:
      return Compose("Invalid DSF file", "Неверный DSF формат файла");
    case msgSignalLengthPowerOfTwo:
      return Compose("Length of a signal should be a degree of 2", "Длина сигнала должна быть степенью 2");
    case msgBadFormula:
      return Compose(
          a + " - The formula is entered incorrectly or " + "samples of a signal outside of a range of definition !!!",
          std::string("Формула введена неправильно или ") + "выборки сигнала вне области определения !!!");
    case msgFileWriteFailure:
      return Compose("File Write Failure", "Ошибка при записи в файл");
    case msgFileCreateFailure:
      return Compose("File Create Failure", "Ошибка создания файла");
    case msgNameNotFound:
      return Compose(a + " - Function Name not found", a + " - Не найдено имя функции");
    default:
      return {};
  }
}

std::string InfoMessageText(int number) {
  if (number == infoFormulaCorrect) return Compose("The formula is entered correctly", "Формула задана корректно");
  return {};
}

std::string SelectLanguage(std::string_view message) {
  if (message.find('%') == std::string_view::npos) return std::string(message);
  const size_t rus = message.find("%rus%");
  if (Language == "RUSSIAN") {
    if (rus == std::string_view::npos) return {};
    return std::string(message.substr(rus + 5));
  }
  // From just after "%eng%" up to the first "%rus%".
  if (message.size() <= 5) return {};
  const size_t end = rus == std::string_view::npos ? message.size() : rus;
  if (end <= 5) return {};
  return std::string(message.substr(5, end - 5));
}

void ShowLibError(int number, std::string_view, std::string_view arg) {
  PresentMessage(msError, "RIR Eda Err:" + SelectLanguage(ErrorMessageText(number, arg)));
}

void ShowLibInfo(int number, std::string_view) { PresentMessage(msInfo, SelectLanguage(InfoMessageText(number))); }

void SetHostMessageHandler(MessageHandler handler, void* context) {
  g_hostHandler = handler;
  g_hostContext = context;
}

void SetModuleMessagePresenter(MessageHandler presenter, void* context) {
  g_modulePresenter = presenter;
  g_moduleContext = context;
}

void PresentMessage(int32_t severity, const std::string& text) {
  if (g_hostHandler != nullptr) {
    g_hostHandler(severity, text.c_str(), g_hostContext);
  } else if (g_modulePresenter != nullptr) {
    g_modulePresenter(severity, text.c_str(), g_moduleContext);
  } else {
#ifdef _WIN32
    ShowPlatformMessageBox(severity, text);
#else
    std::fprintf(stderr, "%s\n", text.c_str());
#endif
  }
}
