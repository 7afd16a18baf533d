// The coefficient table editor of the Windows build: a modal "TableEdit"
// dialog with "Number of Columns" and a grid of two rows (column numbers,
// entries), eight cells wide with a scroll bar beyond that. The brace-list
// rules are those of logic/CoefficientLists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "WinDialog.h"
#include "dialogs/logic/CoefficientLists.h"

class WinTableEditor : public WinDialog {
 public:
  WinTableEditor();
  // Shows `count` entries (at most 65) before the dialog runs.
  void LoadList(const float* entries, int32_t count);
  // The fewest entries the caller accepts; raises a shorter list.
  void SetMinimumColumns(int32_t minimum);
  bool Run(HWND owner) { return RunModal(owner, L"TableEdit", std::nullopt); }
  // After the run: the cells of row 1 as typed, one per column.
  std::vector<std::string> Cells() const;

 protected:
  void OnCreate() override;
  bool OnCommand(int id, int code, HWND control) override;
  LRESULT OnNotify(const NMHDR& header) override;
  bool OnOk() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  static constexpr int kShown = 8;
  void ColumnsChange(int32_t value);
  void SaveVisibleCells();
  void ShowCells();
  int32_t TypedColumns() const;

  std::vector<std::wstring> cells_ = std::vector<std::wstring>(kListCapacity);
  int32_t columns_ = 1;
  int32_t minimum_ = 1;
  int32_t offset_ = 0;  // first entry shown
  bool updating_ = false;
};
