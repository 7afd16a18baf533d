// The long spin edit and the time value editor built on it, free of any
// toolkit: which typed characters reach the text, what the buttons do, the
// unit selector and the time the text and unit stand for. A front end's
// widget holds the text and asks the model for everything else, so the Qt
// editor and the Win32 period editors follow one set of rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "DelayUnits.h"

class DelayEditorModel {
 public:
  // ---- the long spin edit ----
  int64_t Increment() const { return increment_; }
  void SetIncrement(int64_t step) { increment_ = step; }
  // Off: the buttons still step, but typing and Backspace are refused.
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool on) { editorEnabled_ = on; }

  // Whether a typed character reaches the text.
  bool Accepts(char32_t typed) const { return LongValueKeyAccepted(typed, editorEnabled_); }
  // `steps` presses of the up (positive) or down (negative) button: the
  // text they leave, and how many of them only beep (all, while read-only).
  struct Stepped {
    std::string text;
    int beeps = 0;
  };
  Stepped Step(std::string_view text, int steps, bool readOnly) const;

  // ---- the unit selector ----
  int Unit() const { return unit_; }
  bool Filter() const { return filter_; }
  void SetFilter(bool on) { filter_ = on; }
  bool Editing() const { return editing_; }
  void SetEditing(bool on) { editing_ = on; }

  // The time the text stands for in "ps"; kLongValueFailed when the text or
  // the product fails.
  int64_t Delay(std::string_view text) const { return DelayOf(ParseLongValue(text), unit_); }

  // What the editor shows after a time value was written: the text, the
  // unit (already the model's), and whether the unit moved.
  struct Written {
    std::string text;
    int unit = 0;
    bool unitMoved = false;
  };
  // A time value from the user's side: with Filter the unit stays, else the
  // largest unit that shows it exactly. Nothing for the time shown already.
  std::optional<Written> WriteDelay(int64_t value, std::string_view text) { return Write(value, text, !filter_); }
  // A time value from the program (a stored record): always normalised;
  // nothing while Editing is on and the user types in the editor.
  std::optional<Written> AssignDelay(int64_t value, std::string_view text, bool userTyping) {
    if (editing_ && userTyping) return std::nullopt;
    return Write(value, text, true);
  }
  // The user chose another unit: with Filter a larger unit drops three
  // digits per step so the time stays about the same; the text to show, or
  // nothing when it stays.
  std::optional<std::string> SelectUnit(int unit, std::string_view text);

 private:
  std::optional<Written> Write(int64_t value, std::string_view text, bool normalise);

  int64_t increment_ = 1;
  bool editorEnabled_ = true;
  int unit_ = 0;
  int previousUnit_ = 0;  // the unit before the last change, for Filter
  bool filter_ = false;
  bool editing_ = false;
};
