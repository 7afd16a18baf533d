#include "DelayEditorModel.h"

DelayEditorModel::Stepped DelayEditorModel::Step(std::string_view text, int steps, bool readOnly) const {
  Stepped out{std::string(text), 0};
  for (; steps != 0; steps += steps > 0 ? -1 : 1) {
    if (readOnly) {
      ++out.beeps;
      continue;
    }
    const int64_t value = ParseLongValue(out.text);
    out.text = LongValueText(steps > 0 ? LongValueStepUp(value, increment_) : LongValueStepDown(value, increment_));
  }
  return out;
}

std::optional<DelayEditorModel::Written> DelayEditorModel::Write(int64_t value, std::string_view text, bool normalise) {
  if (value == Delay(text)) return std::nullopt;
  // A negative value is no time: 0 in the unit shown.
  if (!normalise || value < 0) return Written{LongValueText(FilterDelay(value, unit_).longValue), unit_, false};
  const DelayShown shown = NormaliseDelay(value, unit_);
  const bool moved = shown.unit != unit_;
  unit_ = previousUnit_ = shown.unit;
  return Written{LongValueText(shown.longValue), unit_, moved};
}

std::optional<std::string> DelayEditorModel::SelectUnit(int unit, std::string_view text) {
  const std::optional<size_t> kept = CharactersAfterUnitChange(text.size(), previousUnit_, unit, filter_);
  unit_ = previousUnit_ = unit;
  if (!kept) return std::nullopt;
  return *kept == 0 ? std::string("0") : std::string(text.substr(0, *kept));
}
