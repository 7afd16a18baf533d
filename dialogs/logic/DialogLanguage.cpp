#include "DialogLanguage.h"

#include <algorithm>
#include <cctype>

const Caption kOkButtonCaption = {"OK", "&OK", "OK"};
const Caption kCancelButtonCaption = {"Cancel", "&Cancel", "Отмена"};
const Caption kHelpButtonCaption = {"Help", "&Help", "Справка"};

bool IsRussianLanguage(const std::string& language) {
  std::string upper = language;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper == "RUSSIAN";
}

ScreenRect KeepOnScreen(int32_t left, int32_t top, int32_t width, int32_t height, const ScreenRect& area) {
  const int64_t right = int64_t{area.left} + area.width - width;
  const int64_t bottom = int64_t{area.top} + area.height - height;
  ScreenRect r{left, top, width, height};
  r.left = static_cast<int32_t>(std::max<int64_t>(area.left, std::min<int64_t>(left, right)));
  r.top = static_cast<int32_t>(std::max<int64_t>(area.top, std::min<int64_t>(top, bottom)));
  return r;
}

std::optional<ScreenPoint> PositionToStore(PositionKept rule, ScreenPoint shownAt, ScreenPoint closedAt) {
  if (rule == PositionKept::WhenMoved && closedAt == shownAt) return std::nullopt;
  return closedAt;
}

std::string NotANumberText(std::string_view field, bool russian) {
  return std::string(field) + (russian ? " не является числом" : " is not a number");
}
