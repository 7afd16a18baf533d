// What the generator parameter dialog decides, free of any toolkit: the pages
// a block type offers, every control with its range and record field, the
// record <-> control values mapping, the captions, the preview, the formula
// check and the help topic. The Qt form and the Win32 form draw from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "DialogHooks.h"
#include "DialogLanguage.h"
#include "FormulaText.h"
#include "GeneratorDialogLayout.h"
#include "numeric/ParameterRecords.h"

// The page code while it is still to come from the record.
constexpr int32_t kPageCodeFromRecord = -2;
constexpr int32_t kUserFunctionPreviewPoints = 128;
constexpr int32_t kPreviewPoints = 1024;
constexpr size_t kFormulaKept = 50;
// Typed lengths and constants stay within +-1000.
constexpr int32_t kLengthLimit = 1000;
// A period never exceeds this many of the unit shown.
constexpr int64_t kLongestPeriod = 2000000000;

// Which pages a block type offers and where the dialog opens.
struct GeneratorPageSetup {
  int32_t pageCode = kPageCodeFromRecord;  // -2: from the record
  int32_t openPage = -1;                   // the page to make active, -1 for none yet
  bool allPages = false;                   // All_in_One or an unknown type: every page offered
  int32_t ownWindow = -1;                  // a window block's only Wind_type item, -1 for every item
  std::array<bool, kGeneratorPageCount> tabVisible{};
};
// From the block type name (the part before the first "_" counts); unknown
// names are reported once by `hooks.generatorKindOf` (message 22).
GeneratorPageSetup GeneratorPagesOf(const std::string& blockTypeName, const DialogHooks& hooks);

// Where activation puts the dialog for a page code.
struct GeneratorActivePage {
  int32_t page = -1;        // -1: leave the page control as it is
  int32_t windowType = -1;  // Wind_type item to select, -1 for none
};
GeneratorActivePage ActivePageOf(int32_t pageCode);
// The page code after the active page (or the window type) changed; -1 when
// no page is active.
int32_t PageCodeOfPage(int32_t activePage, int32_t windowTypeIndex);

// A control's value: `whole` for delay editors (the time in "ps"), radio
// buttons (1 = selected) and the combo box (the item), `number` for spins,
// `text` for the formula (8-bit, as the record holds it).
struct GeneratorValue {
  int64_t whole = 0;
  double number = 0;
  std::string text;
};
using GeneratorValues = std::vector<GeneratorValue>;  // by control index

// What the controls show for a record: spin values rounded (ties to even)
// and held in their ranges, NaN at the minimum, reals at their decimals; the
// formula as stored (at most kRecordTextLength); Wind_type from a window kind.
GeneratorValues RecordToValues(const GeneratorParams& record);
// The record the controls describe: kind = page code (5 when negative),
// integer fields rounded to the nearest (ties to even), the formula's first
// 50 characters in lower case.
void ValuesToRecord(const GeneratorValues& values, int32_t pageCode, GeneratorParams& record);
GeneratorParams DefaultGeneratorRecord(const DialogHooks& hooks);

// The record OK hands back. When the controls still show what they showed
// at first (`shown`), the stored record goes back as it came (the formula in
// lower case as it runs): a record the controls cannot show exactly is not
// rewritten by a mere OK. A malformed one is stored as shown.
std::vector<uint8_t> GeneratorResultRecord(const std::vector<uint8_t>& stored, const GeneratorParams& shown,
                                           const GeneratorParams& now);

// The value-change rules. A period editor whose text is empty or whose
// time is not above 0 becomes 1; above kLongestPeriod of its unit it becomes
// that; nullopt when it stays.
std::optional<int64_t> ForcedPeriod(bool textEmpty, int64_t delay, int64_t longValue);
// FConstant and the window lengths: a typed value beyond +-1000 goes to the
// limit; nullopt when it stays.
bool LimitsTypedValue(std::string_view controlName);
std::optional<int64_t> LimitedLengthOrConstant(int64_t value);

// A spin's number as typed (a decimal comma taken for a point): nothing
// for an empty, unfinished or malformed text.
std::optional<double> ParseTypedNumber(std::string_view text, bool real);

// The preview: length for a page code (0 when there is nothing to draw),
// and the points the waveform code gives (empty without it).
int32_t PreviewLengthOf(int32_t pageCode);
std::vector<int64_t> GeneratorPreviewPoints(const DialogHooks& hooks, int32_t pageCode, const GeneratorParams& record);
// The value axis of a preview: its lowest and highest point, widened by 1
// each way when flat; 0..1 for no points.
std::pair<double, double> PreviewValueRange(const std::vector<int64_t>& points);

// The formula check: message 15 at the first failing evaluation, else
// information message 10; message 1 when the plug-in has no evaluator.
void CheckGeneratorFormula(const DialogHooks& hooks, std::string_view formula);
// The full help path of the page code's topic, "" when there is none.
std::string GeneratorHelpPath(const DialogHooks& hooks, const std::string& directory, int32_t pageCode);

// Captions of the form, of its pages, labels, radio buttons and buttons.
extern const Caption kGeneratorFormCaption;
std::span<const Caption> GeneratorCaptions();
const Caption* FindGeneratorCaption(std::string_view name);
