#include "Messages.h"

#include <cstdio>
#include <filesystem>

#include "WaveFileCheck.h"
#include "framework/interface/HostExtension.h"
#include "framework/interface/IntTypes.h"

HostLanguage LanguageFromText(const std::string& text) {
  return text == "RUSSIAN" ? HostLanguage::Russian : HostLanguage::English;
}

namespace {
std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// A free text a block reports, said so that the user can act on it; texts
// the simulator has nothing to add to pass unchanged.
std::string BlockText(HostLanguage lang, const std::string& text) {
  const bool ru = lang == HostLanguage::Russian;
  const std::string kNotFound = "-file not found!", kIoError = "Wave file I/O error: ";
  if (EndsWith(text, kNotFound))
    return (ru ? "файл не найден: " : "file not found: ") + text.substr(0, text.size() - kNotFound.size());
  if (text.rfind(kIoError, 0) == 0) {
    const std::string path = text.substr(kIoError.size());
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
      return ru ? "не могу создать " + path + ": нет папки " + folder.string()
                : "cannot create " + path + ": the folder " + folder.string() + " does not exist";
    if (std::filesystem::is_regular_file(path, ec)) {
      const std::string why = CheckWaveFile(lang, path).problem;
      if (!why.empty()) return why;
    }
    return (ru ? "ошибка ввода-вывода файла WAVE: " : "WAVE file input/output error: ") + path;
  }
  return text;
}
}  // namespace

std::string DescribeReport(HostLanguage lang, const std::string& block, int32_t code, const std::string& port,
                           const std::string& variable, const std::string& text) {
  const bool ru = lang == HostLanguage::Russian;
  const std::string where = ru ? "порт " + Quoted(port) + " блока " + block +
                                     (variable.empty() ? "" : " (переменная " + Quoted(variable) + ")")
                               : "port " + Quoted(port) + " of block " + block +
                                     (variable.empty() ? "" : " (variable " + Quoted(variable) + ")");
  switch (code) {
    case rcWrongKindOrFlags:
      return where + (ru ? ": неверный тип или флаги переменной" : ": variable of the wrong kind or flags");
    case rcWrongWidth:
      return where + (ru ? ": неверная разрядность переменной" : ": variable of the wrong width");
    case rcNotFound:
      return ru ? "порт " + Quoted(text) + " блока " + block + " не найден"
                : "port " + Quoted(text) + " of block " + block + " not found";
    case rcReserved21:
      return ru ? "блок " + block + ": зарезервированная операция" : "block " + block + ": reserved operation called";
    case rcMessage:
      return (ru ? "блок " : "block ") + block + ": " + BlockText(lang, text);
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

std::string DescribeBlockWords(HostLanguage lang, const std::string& name, const std::string& exportName) {
  return (lang == HostLanguage::Russian ? "блок " : "block ") + Quoted(name) + " (" + exportName + ")";
}

std::string DescribePortList(HostLanguage lang, const std::vector<PortWords>& ports) {
  const bool ru = lang == HostLanguage::Russian;
  std::string s;
  for (bool input : {true, false}) {
    std::string part;
    for (const PortWords& p : ports)
      if (p.input == input)
        part += (part.empty() ? "" : ", ") + p.name + (p.required ? (ru ? " (обязательный)" : " (required)") : "");
    if (!part.empty())
      s += (s.empty() ? "" : "; ") + std::string(input ? (ru ? "входы " : "inputs ") : (ru ? "выходы " : "outputs ")) +
           part;
  }
  return s;
}

namespace {
std::string Direction(bool ru, bool input) { return input ? (ru ? "вход" : "input") : (ru ? "выход" : "output"); }
}  // namespace

std::string DescribeNoSuchPort(HostLanguage lang, const std::string& block, const std::string& port,
                               const PortWords* nearest, const std::string& ports) {
  if (lang == HostLanguage::Russian)
    return block + ": нет порта " + Quoted(port) +
           (nearest != nullptr
                ? "; может быть, " + Quoted(nearest->name) + " (" + Direction(true, nearest->input) + ")?"
                : std::string()) +
           " Его порты: " + ports;
  return block + " has no port " + Quoted(port) +
         (nearest != nullptr
              ? "; did you mean " + Quoted(nearest->name) + " (" + (nearest->input ? "an input" : "an output") + ")?"
              : std::string()) +
         " Its ports: " + ports;
}

std::string DescribeWrongDirection(HostLanguage lang, const std::string& block, const PortWords& port,
                                   const std::string& ports) {
  if (lang == HostLanguage::Russian)
    return "порт " + Quoted(port.name) + " (" + block + ") — " + Direction(true, port.input) + ": укажите его в " +
           (port.input ? "inputs" : "outputs") + ". Его порты: " + ports;
  return "port " + Quoted(port.name) + " of " + block + " is an " +
         (port.input ? "input: list it under inputs" : "output: list it under outputs") + ". Its ports: " + ports;
}

std::string DescribeConnectedTwice(HostLanguage lang, const std::string& block, const std::string& port) {
  return lang == HostLanguage::Russian ? "порт " + Quoted(port) + " (" + block + ") подключён дважды"
                                       : "port " + Quoted(port) + " of " + block + " is connected twice";
}

std::string DescribeUnknownVariableOnPort(HostLanguage lang, const std::string& variable, const std::string& port) {
  return lang == HostLanguage::Russian ? "неизвестная переменная " + Quoted(variable) + " на порту " + Quoted(port)
                                       : "unknown variable " + Quoted(variable) + " on port " + Quoted(port);
}

std::string DescribeUnconnected(HostLanguage lang, const std::string& block, const PortWords& port,
                                const std::string& ports) {
  if (lang == HostLanguage::Russian)
    return block + ": обязательный " + Direction(true, port.input) + " " + Quoted(port.name) +
           " не подключён. Его порты: " + ports;
  return block + " leaves its required " + Direction(false, port.input) + " " + Quoted(port.name) +
         " unconnected. Its ports: " + ports;
}

std::string DescribeWrongKind(HostLanguage lang, const std::string& block, const std::string& port,
                              const std::string& expected, const std::string& variable, const std::string& kind) {
  if (lang == HostLanguage::Russian)
    return "порт " + Quoted(port) + " (" + block + ") принимает переменную вида " + expected + ", а " +
           Quoted(variable) + " — вида " + kind;
  return "port " + Quoted(port) + " of " + block + " takes a " + expected + " variable; " + Quoted(variable) +
         " is a " + kind + " variable";
}

std::string DescribeDrivenTwice(HostLanguage lang, const std::string& variable, const std::string& port,
                                const std::string& blockName, const std::string& driver) {
  if (lang == HostLanguage::Russian)
    return "переменная " + Quoted(variable) + " на порту " + Quoted(port) + " блока " + Quoted(blockName) +
           " уже задаётся: " + driver;
  return "variable " + Quoted(variable) + " on port " + Quoted(port) + " of block " + Quoted(blockName) +
         " is already driven by " + driver;
}

std::string DescribeStimulusDriver(HostLanguage lang, int line) {
  return (lang == HostLanguage::Russian ? "воздействием в строке " : "the stimulus on line ") + std::to_string(line);
}

std::string DescribeBlockDriver(HostLanguage lang, const std::string& blockName) {
  return (lang == HostLanguage::Russian ? "блоком " : "block ") + Quoted(blockName);
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

std::string DescribeValueProblem(HostLanguage lang, const std::string& variable, int32_t problem, uint64_t count,
                                 int32_t width, int64_t first, bool failureValue) {
  const bool ru = lang == HostLanguage::Russian;
  const bool one = count % 10 == 1 && count % 100 != 11;  // Russian verbs agree with the count
  const std::string w = std::to_string(width);
  std::string what;
  if (problem == rvpWrapped) {
    what = ru ? Count(ru, count, "", "", "значение", "значения", "значений") +
                    (one ? " не поместилось в её " : " не поместились в её ") + w +
                    "-битный порт (старшие разряды отброшены)"
              : Count(ru, count, "value", "values", "", "", "") + " did not fit its " + w + "-bit port (wrapped)";
  } else {
    const bool nan = problem == rvpNotANumber;
    const std::string written = failureValue ? (ru ? "записано -1" : "written as -1")
                                : nan        ? (ru ? "записан 0" : "written as 0")
                                             : (ru ? "ограничены им" : "limited to it");
    what = ru ? Count(ru, count, "", "", "результат", "результата", "результатов") +
                    (nan ? (one ? " не является числом (" : " не являются числом (")
                         : " вне 32-битного диапазона отсчётов (") +
                    written + ") на её " + w + "-битном порту"
              : Count(ru, count, "result", "results", "", "", "") +
                    (nan ? " were not a number (" : " lay outside the 32-bit sample range (") + written + ") on its " +
                    w + "-bit port";
  }
  return (ru ? "предупреждение: переменная " : "warning: variable ") + variable + ": " + what +
         (ru ? ", впервые при t = " : ", first at t = ") + std::to_string(first);
}
