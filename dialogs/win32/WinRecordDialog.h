// A dialog that shows only its caption and OK/Cancel and hands back the
// record it was given: the frame a form starts from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "WinDialog.h"
#include "logic/DialogHooks.h"

DialogResult RunRecordDialog(const DialogRequest& request, HWND owner, const std::wstring& caption,
                             std::vector<uint8_t> record);
