// A control's name as both front ends know it: the Qt object name and the
// key of the Win32 id tables. Each dialog's layout table spells its names
// once; code names a control with the literal `"Num_Points"_ctl` of that
// dialog's namespace, which is looked up in the table when compiling, so a
// misspelled control does not compile.
#pragma once

#include <cstddef>
#include <string_view>

class ControlName {
 public:
  // A name taken from a layout table, where it is spelled once.
  constexpr explicit ControlName(std::string_view listed) : name_(listed) {}
  constexpr std::string_view View() const { return name_; }
  constexpr operator std::string_view() const { return name_; }
  friend constexpr bool operator==(ControlName a, ControlName b) { return a.name_ == b.name_; }
  friend constexpr bool operator==(ControlName a, std::string_view b) { return a.name_ == b; }

 private:
  std::string_view name_;
};

// The position of `name` among the names `nameOf(table[i])` gives; -1 for
// none.
template <typename Table, typename NameOf>
constexpr int ListedIndex(const Table& table, std::string_view name, NameOf nameOf) {
  int i = 0;
  for (const auto& row : table) {
    if (name == std::string_view(nameOf(row))) return i;
    ++i;
  }
  return -1;
}

// Throwing makes the calling literal no constant: the compiler names the
// misspelled control at the literal.
consteval ControlName CheckedControl(std::string_view name, bool listed) {
  if (!listed) throw "no control of this name in the dialog's layout table";
  return ControlName(name);
}

// Whether every row of a table (captions, bindings) names a control that
// `isControl` knows: a table keyed by control names checks them too.
template <typename Rows, typename IsControl>
consteval bool AllNameControls(const Rows& rows, IsControl isControl) {
  for (const auto& row : rows)
    if (!isControl(row.name)) return false;
  return true;
}
