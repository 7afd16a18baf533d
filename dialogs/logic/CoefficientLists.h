// The coefficient table editor's rules: brace lists, reading typed cells
// back, and the grid's size. The lists of the transform and filter records
// hold at most 65 single floats; no count handed out ever exceeds that.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr int32_t kListCapacity = 65;
// Default width of one grid column, in pixels.
constexpr int32_t kTableColumnWidth = 64;

// `count` limited to 0..65, so no caller reads or writes past a list.
int32_t ClampListCount(int32_t count);

// One entry in general decimal form: at most 15 significant digits, no
// trailing zeros (1.0 gives "1", 0.5 gives "0.5"), whatever the locale.
std::string FormatEntry(double value);
// "{" entries "," ... "}" of the first `count` entries (count limited to 65).
std::string FormatList(const float* entries, int32_t count);
// The brace list of texts as they are (typed cells are kept as typed).
std::string BraceList(const std::vector<std::string>& texts);

// A typed cell as a single float: blanks around it are allowed, a leading
// "+" too; anything else that is not a finite number in single range is not
// a number.
std::optional<float> ParseEntry(const std::string& text);

// Reading the grid back: `cells` are the texts of row 1, `columns` the
// entry count shown. The count takes the column count (at most 65) at once;
// the entries are stored in order up to the first cell that is not a
// number, which stops the read: the text is then empty. Otherwise the text
// is the brace list of the cells as typed.
struct ListRead {
  int32_t count = 0;
  std::string text;
  bool complete = false;
  int32_t stoppedAt = -1;  // the cell that stopped the read
};
ListRead ReadList(const std::vector<std::string>& cells, int32_t columns, float* entries);

// The grid: 53 pixels high below 9 columns, else 73 (room for a scroll
// bar); as wide as the columns, never wider than eight.
int32_t TableGridHeight(int32_t columns);
int32_t TableGridWidth(int32_t columns, int32_t columnWidth = kTableColumnWidth);
// Number of Columns, 1..65 (design value 1); the caller may raise the minimum.
int32_t ClampColumns(int32_t columns, int32_t minimum = 1);
