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
  const std::string where = ru ? "порт " + Quoted(port) + " блока " + block +
                                     (variable.empty() ? "" : " (переменная " + Quoted(variable) + ")")
                               : "port " + Quoted(port) + " of block " + block +
                                     (variable.empty() ? "" : " (variable " + Quoted(variable) + ")");
  switch (code) {
    case 2:
      return where + (ru ? ": неверный тип или флаги переменной" : ": variable of the wrong kind or flags");
    case 3:
      return where + (ru ? ": неверная разрядность переменной" : ": variable of the wrong width");
    case 4:
      return ru ? "порт " + Quoted(text) + " блока " + block + " не найден"
                : "port " + Quoted(text) + " of block " + block + " not found";
    case 6:
      return ru ? "блок " + block + ": зарезервированная операция" : "block " + block + ": reserved operation called";
    case 8:
      return (ru ? "блок " : "block ") + block + ": " + text;
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

namespace {
std::string List(const std::vector<std::string>& items) {
  std::string s;
  for (const std::string& i : items) s += (s.empty() ? "" : ", ") + Quoted(i);
  return s;
}
std::string Count(bool ru, uint64_t n, const char* en1, const char* enN, const char* ru1, const char* ru2,
                  const char* ru5) {
  const uint64_t m10 = n % 10, m100 = n % 100;
  const char* word = !ru                                                  ? (n == 1 ? en1 : enN)
                     : (m10 == 1 && m100 != 11)                           ? ru1
                     : (m10 >= 2 && m10 <= 4 && (m100 < 12 || m100 > 14)) ? ru2
                                                                          : ru5;
  return std::to_string(n) + " " + word;
}
}  // namespace

std::string DescribeLoop(HostLanguage lang, int64_t time, int passes, const std::vector<std::string>& blocks,
                         const std::vector<std::string>& variables) {
  return lang == HostLanguage::Russian
             ? "в момент " + std::to_string(time) + " переменные не установились за " + std::to_string(passes) +
                   " проходов: комбинационная петля через блоки " + List(blocks) + " и переменные " + List(variables)
             : "at time " + std::to_string(time) + " the variables did not settle within " + std::to_string(passes) +
                   " passes: a combinational loop through the blocks " + List(blocks) + " and the variables " +
                   List(variables);
}

std::string DescribeTableEnd(HostLanguage lang, const std::string& block, int64_t time, int64_t samples) {
  return lang == HostLanguage::Russian
             ? "блок " + block + ": в момент " + std::to_string(time) + " генератор исчерпал таблицу из " +
                   std::to_string(samples) +
                   " отсчётов и далее выдаёт 0; для более длинных прогонов подайте тактовый сигнал на его порт \"Clk\""
             : "block " + block + ": at time " + std::to_string(time) +
                   " the free-running generator has used up its table of " + std::to_string(samples) +
                   " samples and writes 0 from now on; connect a clock to its \"Clk\" port for longer runs";
}

std::string DescribeProblems(HostLanguage lang, uint64_t errors, uint64_t warnings) {
  const bool ru = lang == HostLanguage::Russian;
  std::string s;
  if (errors > 0) s += ", " + Count(ru, errors, "error", "errors", "ошибка", "ошибки", "ошибок");
  if (warnings > 0)
    s += ", " + Count(ru, warnings, "warning", "warnings", "предупреждение", "предупреждения", "предупреждений");
  return s;
}

std::string DescribeRunFailed(HostLanguage lang, uint64_t errors, uint64_t warnings, bool aborted, bool strict) {
  const bool ru = lang == HostLanguage::Russian;
  std::string why;
  if (aborted) why = ru ? "моделирование прервано блоком" : "a block aborted the run";
  if (errors > 0) why += (why.empty() ? "" : "; ") + Count(ru, errors, "error", "errors", "ошибка", "ошибки", "ошибок");
  if (strict && warnings > 0)
    why += (why.empty() ? "" : "; ") +
           Count(ru, warnings, "warning", "warnings", "предупреждение", "предупреждения", "предупреждений") +
           (ru ? " (--strict)" : " (--strict)");
  return (ru ? "моделирование не удалось: " : "the run failed: ") + why;
}

std::string DescribeLibraryMessage(HostLanguage lang, const std::string& block, int32_t severity,
                                   const std::string& text) {
  const bool ru = lang == HostLanguage::Russian;
  const std::string who = block.empty() ? (ru ? "библиотека" : "library") : (ru ? "блок " : "block ") + block;
  return who + (severity == 0 ? (ru ? ", ошибка: " : ", error: ") : ": ") + text;
}

std::string DescribeSuppressed(HostLanguage lang, const std::string& block, uint64_t count) {
  return lang == HostLanguage::Russian ? "блок " + block + ": ещё " + std::to_string(count) + " сообщений не показано"
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
    std::snprintf(rates, sizeof rates,
                  ru ? ", %.0f событий/с, %.0f вызовов блоков/с" : ", %.0f events/s, %.0f block calls/s",
                  static_cast<double>(events) / seconds, calls / seconds);
    s += rates;
  }
  return s;
}

std::string DescribeEventEffects(HostLanguage lang, const std::string& block, uint64_t skipped, uint64_t repeated) {
  const bool ru = lang == HostLanguage::Russian;
  std::string s = (ru ? "предупреждение: блок " : "warning: block ") + block + ":";
  if (skipped > 0)
    s += ru ? " в " + Count(ru, skipped, "", "", "момент", "момента", "моментов") +
                  " входы записаны без изменения значения и блок не оповещён (отсчёты пропущены)"
            : " in " + Count(ru, skipped, "time point", "time points", "", "", "") +
                  " its inputs were written with an unchanged value and it was not notified (samples skipped)";
  if (skipped > 0 && repeated > 0) s += ";";
  if (repeated > 0)
    s += ru ? " в " + Count(ru, repeated, "", "", "момент", "момента", "моментов") + " оповещён более одного раза"
            : " notified more than once in " + Count(ru, repeated, "time point", "time points", "", "", "");
  return s + (ru ? " (планирование \"events\"; \"dataflow\" оповещает каждый блок один раз за момент)"
                 : " (scheduling \"events\"; \"dataflow\" notifies each block once per time point)");
}

std::string DescribeAtLimits(HostLanguage lang, const std::string& variable, uint64_t count, int32_t width,
                             int32_t signMode) {
  const bool ru = lang == HostLanguage::Russian;
  const std::string port = std::to_string(width) + (ru ? "-битный " : "-bit ") +
                           (signMode == 0 ? (ru ? "знак-модуль" : "sign-magnitude") : (ru ? "беззнаковый" : "unsigned"));
  return ru ? "предупреждение: переменная " + variable + ": " +
                  Count(ru, count, "", "", "значение", "значения", "значений") + " на границе диапазона порта (" + port +
                  "); вероятно насыщение"
            : "warning: variable " + variable + ": " + Count(ru, count, "value", "values", "", "", "") +
                  " at the limits of its port (" + port + "); the results probably saturated";
}
