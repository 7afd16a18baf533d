// Control ids of the Win32 generator dialog, for the dialog and for programs
// that drive it by window messages.
#pragma once

#include <cstddef>

// Control i of the generator control table owns kGeneratorFirstControlId +
// 10 * i (its edit, radio button or combo box) and the next three ids: its
// up-down, its unit selector (time editors) and its label.
constexpr int kGeneratorFirstControlId = 1000;
constexpr int kGeneratorSpinOffset = 1;
constexpr int kGeneratorUnitOffset = 2;
constexpr int kGeneratorLabelOffset = 3;
constexpr int kGeneratorTabId = 100;
constexpr int kGeneratorCheckId = 101;    // BitBtn1
constexpr int kGeneratorPreviewId = 102;  // ViewBtn
constexpr int kGeneratorRangeId = 103;    // GroupBox1
constexpr int kGeneratorCanvasId = 104;   // the preview chart

constexpr int GeneratorControlId(size_t index) { return kGeneratorFirstControlId + 10 * static_cast<int>(index); }
