#include "DialogHooks.h"

#include <algorithm>
#include <cctype>

bool IsRussianLanguage(const std::string& language) {
  std::string upper = language;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper == "RUSSIAN";
}
