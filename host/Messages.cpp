#include "Messages.h"

HostLanguage LanguageFromText(const std::string& text) {
  return text == "RUSSIAN" ? HostLanguage::Russian : HostLanguage::English;
}

namespace {
std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
}  // namespace

std::string DescribeReport(HostLanguage lang, const std::string& block, int32_t code, const std::string& port,
                           const std::string& variable, const std::string& text) {
  const bool ru = lang == HostLanguage::Russian;
  const std::string where =
      ru ? "порт " + Quoted(port) + " блока " + block + (variable.empty() ? "" : " (переменная " + Quoted(variable) + ")")
         : "port " + Quoted(port) + " of block " + block + (variable.empty() ? "" : " (variable " + Quoted(variable) + ")");
  switch (code) {
    case 2: return where + (ru ? ": неверный тип или флаги переменной" : ": variable of the wrong kind or flags");
    case 3: return where + (ru ? ": неверная разрядность переменной" : ": variable of the wrong width");
    case 4:
      return ru ? "порт " + Quoted(text) + " блока " + block + " не найден"
                : "port " + Quoted(text) + " of block " + block + " not found";
    case 6: return ru ? "блок " + block + ": зарезервированная операция" : "block " + block + ": reserved operation called";
    case 8: return (ru ? "блок " : "block ") + block + ": " + text;
    default:
      return ru ? "блок " + block + ": сообщение с кодом " + std::to_string(code)
                : "block " + block + ": report with code " + std::to_string(code);
  }
}

std::string DescribeAbort(HostLanguage lang, const std::string& block) {
  return lang == HostLanguage::Russian ? "блок " + block + " прервал моделирование"
                                       : "block " + block + " aborted the run";
}

std::string DescribeInvalid(HostLanguage lang, const std::string& block, const std::string& type) {
  return lang == HostLanguage::Russian ? "блок " + block + " (" + type + ") неработоспособен; моделирование не начато"
                                       : "block " + block + " (" + type + ") is not valid; the run does not start";
}

std::string DescribeMissingExport(HostLanguage lang, const std::string& block, const std::string& type) {
  return lang == HostLanguage::Russian ? "блок " + block + ": в библиотеке нет функции " + type
                                       : "block " + block + ": the plug-in has no export " + type;
}

std::string DescribeLoop(HostLanguage lang, int64_t time, int passes) {
  return lang == HostLanguage::Russian
             ? "в момент " + std::to_string(time) + " переменные не установились за " + std::to_string(passes) +
                   " проходов: комбинационная петля"
             : "at time " + std::to_string(time) + " the variables did not settle within " + std::to_string(passes) +
                   " passes: a combinational loop";
}

std::string DescribeLibraryMessage(HostLanguage lang, const std::string& block, int32_t severity,
                                   const std::string& text) {
  const bool ru = lang == HostLanguage::Russian;
  const std::string who = block.empty() ? (ru ? "библиотека" : "library") : (ru ? "блок " : "block ") + block;
  return who + (severity == 0 ? (ru ? ", ошибка: " : ", error: ") : ": ") + text;
}

std::string DescribeSuppressed(HostLanguage lang, const std::string& block, uint64_t count) {
  return lang == HostLanguage::Russian
             ? "блок " + block + ": ещё " + std::to_string(count) + " сообщений не показано"
             : "block " + block + ": " + std::to_string(count) + " more reports not shown";
}

std::string DescribeLongWaveName(HostLanguage lang, const std::string& block, const std::string& path) {
  return lang == HostLanguage::Russian
             ? "блок " + block + ": имя файла " + Quoted(path) + " длиннее 55 символов и будет обрезано"
             : "block " + block + ": the file name " + Quoted(path) + " is longer than 55 characters and will be cut";
}
