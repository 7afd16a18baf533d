// Control ids of the Win32 transform dialog and its table editor. The
// dialog's controls are found by the control names of the Qt dialog: spin
// edits take their up-down at id + 1, list and formula fields their "..."
// button at id + 1. Shared with the wine tests, which drive the dialogs by
// these ids.
#pragma once

#include <string_view>

// The id of the transform dialog's control of that name; 0 for none.
int WinTransformControlId(std::string_view name);

constexpr int te_RxLabel1 = 3000;
constexpr int te_Columns = 3002;  // up-down 3003
constexpr int te_Ok_Btn = 1;      // IDOK: Enter in a cell closes the editor
constexpr int te_Scroll = 3004;
constexpr int te_Number0 = 3100;  // the visible number cells of row 0, left to right
constexpr int te_Cell0 = 3200;    // the visible entry cells of row 1
