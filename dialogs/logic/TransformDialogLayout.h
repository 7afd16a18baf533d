// The controls of the transform dialog's pages, once for both front ends:
// what each control is, the page (and LMS tab, and group box) it sits on,
// its cell in the page's rows and columns (the Qt layouts) and its place in
// pixels (the Win32 dialog, which has no layouts). Captions, ranges, items
// and design values come from TransformDialogLogic by the control's name.
#pragma once

#include <cstdint>
#include <span>

enum class ControlKind { Label, CenteredLabel, Number, Check, Combo, Field, Group, Tabs, Memo };

struct PageControl {
  ControlKind kind;
  const char* name;
  const char* page;
  int32_t tab;      // LMS page: 0 "Main", 1 "Addition"; -1 elsewhere
  const char* box;  // the group box holding it, nullptr for none
  int32_t row, column;
  int32_t x, y, w, h;  // relative to the page area
};

// In the order of the Win32 control ids.
std::span<const PageControl> TransformPageControls();
