// Language and placement rules every dialog follows, whatever toolkit draws it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// "RUSSIAN" after conversion to upper case selects the Russian captions.
bool IsRussianLanguage(const std::string& language);

// A bilingual caption of the control (label, button, group box or tab page)
// of this name.
struct Caption {
  const char* name;
  const char* english;
  const char* russian;
};
inline const char* CaptionText(const Caption& caption, bool russian) {
  return russian ? caption.russian : caption.english;
}

// The standard buttons: "&OK", "&Cancel", "&Help" in English; in Russian
// the texts Qt's own translation gives them.
extern const Caption kOkButtonCaption;
extern const Caption kCancelButtonCaption;
extern const Caption kHelpButtonCaption;

struct ScreenRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};
// Where a window of `width` x `height` wanted at (left, top) goes so that it
// lies inside `area` (the top-left corner wins when it cannot fit): a stored
// position from another screen layout never opens a modal dialog out of reach.
ScreenRect KeepOnScreen(int32_t left, int32_t top, int32_t width, int32_t height, const ScreenRect& area);

// A window's left and top on the screen.
using ScreenPoint = std::pair<int32_t, int32_t>;
// Where a dialog's position goes on OK: the host keeps it only when the user
// moved the dialog, or always.
enum class PositionKept { WhenMoved, Always };
std::optional<ScreenPoint> PositionToStore(PositionKept rule, ScreenPoint shownAt, ScreenPoint closedAt);

// The words that refuse a value for a record field that is not a finite
// number ("FIRS_Taps[1] is not a number"): NaN and infinity never reach a
// record from a dialog.
std::string NotANumberText(std::string_view field, bool russian);
