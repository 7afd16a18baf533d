// The platform's modal message box, for library messages that no handler takes.
#pragma once

#include <cstdint>
#include <string>

// severity 0: error symbol; otherwise the information symbol. Returns when closed.
void ShowPlatformMessageBox(int32_t severity, const std::string& text);
