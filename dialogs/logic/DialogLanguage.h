// Language and placement rules every dialog follows, whatever toolkit draws it.
#pragma once

#include <cstdint>
#include <string>

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
