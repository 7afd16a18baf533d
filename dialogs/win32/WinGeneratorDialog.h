// Control ids of the Win32 generator dialog, for the dialog and for programs
// that drive it by window messages.
#pragma once

#include <cstddef>
#include <string_view>

#include "dialogs/logic/GeneratorDialogLayout.h"

// Control i of the generator control table owns kGeneratorFirstControlId +
// 10 * i (its edit, radio button or combo box) and the next three ids: its
// up-down, its unit selector (time editors) and its label.
constexpr int kGeneratorFirstControlId = 1000;
constexpr int kGeneratorSpinOffset = 1;
constexpr int kGeneratorUnitOffset = 2;
constexpr int kGeneratorLabelOffset = 3;
// The controls around the pages take 100 + their place in the layout table;
// a name not there does not compile.
consteval int GeneratorFrameId(std::string_view name) {
  const int i = ListedIndex(generator_layout::kFrameControls, name, [](const char* n) { return n; });
  if (i < 0) throw "not a control around the generator pages";
  return 100 + i;
}
constexpr int kGeneratorTabId = GeneratorFrameId("PageControl1");
constexpr int kGeneratorCheckId = GeneratorFrameId("BitBtn1");
constexpr int kGeneratorPreviewId = GeneratorFrameId("ViewBtn");
constexpr int kGeneratorRangeId = GeneratorFrameId("GroupBox1");
constexpr int kGeneratorCanvasId = GeneratorFrameId("Chart");

constexpr int GeneratorControlId(size_t index) { return kGeneratorFirstControlId + 10 * static_cast<int>(index); }
