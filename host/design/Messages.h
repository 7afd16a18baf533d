// The simulator's own words, in English or Russian, for reports that
// blocks send and for run events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class HostLanguage { English, Russian };

HostLanguage LanguageFromText(const std::string& text);  // "RUSSIAN" selects Russian

// A ReportError as a sentence. `port` and `variable` may be empty when the
// host cannot tell them.
std::string DescribeReport(HostLanguage lang, const std::string& block, int32_t code, const std::string& port,
                           const std::string& variable, const std::string& text);
std::string DescribeAbort(HostLanguage lang, const std::string& block);
std::string DescribeInvalid(HostLanguage lang, const std::string& block, const std::string& type);
std::string DescribeMissingExport(HostLanguage lang, const std::string& block, const std::string& type);
std::string DescribeLoop(HostLanguage lang, int64_t time, int passes, const std::vector<std::string>& blocks,
                         const std::vector<std::string>& variables);
std::string DescribeTableEnd(HostLanguage lang, const std::string& block, int64_t time, int64_t samples);
// ", 2 errors, 1 warning" for the summary ("" when both are 0).
std::string DescribeProblems(HostLanguage lang, uint64_t errors, uint64_t warnings);
// The last line of a failed run: why it failed.
std::string DescribeRunFailed(HostLanguage lang, uint64_t errors, uint64_t warnings, bool aborted, bool strict);
std::string DescribeLibraryMessage(HostLanguage lang, const std::string& block, int32_t severity,
                                   const std::string& text);
std::string DescribeSuppressed(HostLanguage lang, const std::string& block, uint64_t count);
std::string DescribeWrote(HostLanguage lang, const std::string& what, const std::string& path);
std::string DescribeRunAborted(HostLanguage lang);
// The run's summary line; `seconds` of wall time (rates only when above 0).
std::string DescribeSummary(HostLanguage lang, int64_t endTime, uint64_t timePoints, uint64_t steps,
                            uint64_t notifications, uint64_t events, double seconds);

// Wiring faults a design check finds, in the design's language. `block` is
// how the block is named (`block "f" (High_Level_FIR_Init)` or its Russian
// form from DescribeBlockWords); `ports` comes from DescribePortList.
std::string DescribeBlockWords(HostLanguage lang, const std::string& name, const std::string& exportName);
struct PortWords {
  std::string name;
  bool input = true;
  bool required = false;
};
std::string DescribePortList(HostLanguage lang, const std::vector<PortWords>& ports);
// `nearest` may be empty.
std::string DescribeNoSuchPort(HostLanguage lang, const std::string& block, const std::string& port,
                               const PortWords* nearest, const std::string& ports);
std::string DescribeWrongDirection(HostLanguage lang, const std::string& block, const PortWords& port,
                                   const std::string& ports);
std::string DescribeConnectedTwice(HostLanguage lang, const std::string& block, const std::string& port);
std::string DescribeUnknownVariableOnPort(HostLanguage lang, const std::string& variable, const std::string& port);
std::string DescribeUnconnected(HostLanguage lang, const std::string& block, const PortWords& port,
                                const std::string& ports);
std::string DescribeWrongKind(HostLanguage lang, const std::string& block, const std::string& port,
                              const std::string& expected, const std::string& variable, const std::string& kind);
// `driver` is DescribeStimulusDriver or DescribeBlockDriver.
std::string DescribeDrivenTwice(HostLanguage lang, const std::string& variable, const std::string& port,
                                const std::string& blockName, const std::string& driver);
std::string DescribeStimulusDriver(HostLanguage lang, int line);
std::string DescribeBlockDriver(HostLanguage lang, const std::string& blockName);
// Events scheduling: a block whose written inputs kept their value was not
// notified (`skipped` time points), or was notified more than once in one
// time point (`repeated` time points).
std::string DescribeEventEffects(HostLanguage lang, const std::string& block, uint64_t skipped, uint64_t repeated);
// Values a block wrote to `variable`, a port `width` bits wide, that are not
// the ones it computed: `count` of one kind (a RirEdaValueProblem), the
// first at model time `first`. `failureValue`: the block writes -1 for a
// result that is no sample (an element-wise transform), else it limits it
// to the range or writes 0 for NaN.
std::string DescribeValueProblem(HostLanguage lang, const std::string& variable, int32_t problem, uint64_t count,
                                 int32_t width, int64_t first, bool failureValue);
