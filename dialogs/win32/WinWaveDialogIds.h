// Control ids of the Windows wave dialog by the form's control names; the
// dialog's test host finds the controls by them.
#pragma once

#include <string_view>

// The id of the wave dialog's control of that name; 0 for none.
int WinWaveControlId(std::string_view name);
