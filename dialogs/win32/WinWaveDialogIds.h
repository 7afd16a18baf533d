// Control ids of the Windows wave dialog by the form's control names; the
// dialog's test host finds the controls by them.
#pragma once

#include <string_view>

#include "dialogs/logic/WaveDialogLayout.h"

// The id of the wave dialog's control of that name: 1000 + its place in the
// layout table; 0 for none.
constexpr int WinWaveControlId(std::string_view name) {
  const int index = WaveControlIndex(name);
  return index < 0 ? 0 : 1000 + index;
}
