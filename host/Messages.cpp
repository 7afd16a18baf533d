#include "Messages.h"

#include <cstdio>

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

std::string DescribeWrote(HostLanguage lang, const std::string& what, const std::string& path) {
  return (lang == HostLanguage::Russian ? "записан " : "wrote ") + what + " " + path;
}

std::string DescribeCannotWrite(HostLanguage lang, const std::string& path) {
  return (lang == HostLanguage::Russian ? "не могу записать " : "cannot write ") + path;
}

std::string DescribeRunAborted(HostLanguage lang) {
  return lang == HostLanguage::Russian ? "моделирование прервано блоком" : "the run was aborted by a block";
}

std::string DescribeSummary(HostLanguage lang, int64_t endTime, uint64_t timePoints, uint64_t steps,
                            uint64_t notifications, uint64_t events, double seconds) {
  const bool ru = lang == HostLanguage::Russian;
  char wall[64];
  std::snprintf(wall, sizeof wall, "%.3f", seconds);
  std::string s = ru ? "модельное время " + std::to_string(endTime) + " (" + std::to_string(timePoints) +
                           " моментов): " + std::to_string(steps) + " шагов блоков, " + std::to_string(notifications) +
                           " оповещений о входах, " + std::to_string(events) + " изменений переменных за " + wall + " с"
                     : "model time " + std::to_string(endTime) + " (" + std::to_string(timePoints) +
                           " time points): " + std::to_string(steps) + " block steps, " +
                           std::to_string(notifications) + " input notifications, " + std::to_string(events) +
                           " value changes in " + wall + " s";
  if (seconds > 0) {
    char rates[128];
    const double calls = static_cast<double>(steps + notifications);
    std::snprintf(rates, sizeof rates, ru ? ", %.0f событий/с, %.0f вызовов блоков/с" : ", %.0f events/s, %.0f block calls/s",
                  static_cast<double>(events) / seconds, calls / seconds);
    s += rates;
  }
  return s;
}
