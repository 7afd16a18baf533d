#include "WinTableEditor.h"

#include <algorithm>

#include "WinText.h"
#include "WinTransformIds.h"

namespace {

constexpr int kLeft = 10;
constexpr int kTop = 45;
constexpr int kRow = 24;

}  // namespace

WinTableEditor::WinTableEditor() : WinDialog(8 * (kTableColumnWidth + 1) + 40, 140) {}

void WinTableEditor::LoadList(const float* entries, int32_t count) {
  count = ClampListCount(count);
  for (int32_t i = 0; i < count; ++i) cells_[static_cast<size_t>(i)] = WideFromUtf8(FormatEntry(entries[i]));
  ColumnsChange(count);
}

void WinTableEditor::SetMinimumColumns(int32_t minimum) {
  minimum_ = ClampColumns(minimum);
  ColumnsChange(columns_);
}

std::vector<std::string> WinTableEditor::Cells() const {
  std::vector<std::string> cells;
  for (int32_t i = 0; i < columns_; ++i) cells.push_back(Utf8FromWide(cells_[static_cast<size_t>(i)]));
  return cells;
}

void WinTableEditor::OnCreate() {
  AddLabel(te_RxLabel1, L"Number of Columns", kLeft, 14, 120, 20);
  AddUpDown(te_Columns + 1, AddEdit(te_Columns, std::to_wstring(columns_), 135, 10, 60, 24, ES_NUMBER));
  SendMessageW(Item(te_Columns + 1), UDM_SETRANGE32, 0, 100);
  SendMessageW(Item(te_Columns + 1), UDM_SETPOS32, 0, 50);
  AddButton(IDOK, L"OK", 8 * (kTableColumnWidth + 1) + 40 - 90, 10, 80, 25, true);
  for (int s = 0; s < kShown; ++s) {
    const int x = kLeft + s * (kTableColumnWidth + 1);
    AddControl(L"STATIC", te_Number0 + s, L"", SS_LEFT | SS_CENTERIMAGE | WS_BORDER, x, kTop, kTableColumnWidth + 1,
               kRow);
    AddEdit(te_Cell0 + s, L"", x, kTop + kRow, kTableColumnWidth + 1, kRow);
  }
  AddControl(L"SCROLLBAR", te_Scroll, L"", SBS_HORZ, kLeft, kTop + 2 * kRow + 1, kShown * (kTableColumnWidth + 1), 17);
  ShowCells();
}

void WinTableEditor::ColumnsChange(int32_t value) {
  SaveVisibleCells();
  columns_ = ClampColumns(value, minimum_);
  for (int32_t i = 0; i < columns_; ++i) {
    if (cells_[static_cast<size_t>(i)].empty()) cells_[static_cast<size_t>(i)] = L"0";
  }
  offset_ = std::clamp<int32_t>(offset_, 0, std::max<int32_t>(0, columns_ - kShown));
  ShowCells();
}

void WinTableEditor::SaveVisibleCells() {
  if (Handle() == nullptr) return;
  for (int s = 0; s < kShown; ++s) {
    const int32_t i = offset_ + s;
    if (i < columns_ && i < kListCapacity) cells_[static_cast<size_t>(i)] = Text(te_Cell0 + s);
  }
}

void WinTableEditor::ShowCells() {
  if (Handle() == nullptr) return;
  updating_ = true;
  if (TypedColumns() != columns_) SetText(te_Columns, std::to_wstring(columns_));
  for (int s = 0; s < kShown; ++s) {
    const int32_t i = offset_ + s;
    const bool shown = i < columns_;
    ShowItem(te_Number0 + s, shown);
    ShowItem(te_Cell0 + s, shown);
    if (shown) {
      SetText(te_Number0 + s, L" " + std::to_wstring(i + 1));
      SetText(te_Cell0 + s, cells_[static_cast<size_t>(i)]);
    }
  }
  // Nine columns or more: room for a scroll bar below the grid.
  const bool scrolls = TableGridHeight(columns_) > TableGridHeight(1);
  ShowItem(te_Scroll, scrolls);
  if (scrolls) {
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, columns_ - 1, kShown, offset_, 0};
    SetScrollInfo(Item(te_Scroll), SB_CTL, &info, TRUE);
  }
  updating_ = false;
}

int32_t WinTableEditor::TypedColumns() const {
  const std::wstring text = Text(te_Columns);
  const bool digits = !text.empty() && text.size() <= 9 && text.find_first_not_of(L"0123456789") == std::wstring::npos;
  return digits ? static_cast<int32_t>(std::stol(text)) : -1;
}

bool WinTableEditor::OnCommand(int id, int code, HWND) {
  if (id == te_Columns && code == EN_CHANGE && !updating_) {
    const int32_t typed = TypedColumns();
    if (typed > 0) ColumnsChange(typed);
    return true;
  }
  if (id == te_Columns && code == EN_KILLFOCUS) {
    updating_ = true;
    SetText(te_Columns, std::to_wstring(columns_));
    updating_ = false;
    return true;
  }
  return false;
}

LRESULT WinTableEditor::OnNotify(const NMHDR& header) {
  if (header.idFrom == static_cast<UINT_PTR>(te_Columns + 1) && header.code == UDN_DELTAPOS) {
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    ColumnsChange(columns_ + (change.iDelta > 0 ? 1 : -1));
    return 1;  // the position stays: the count is ours
  }
  return 0;
}

INT_PTR WinTableEditor::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (message != WM_HSCROLL || reinterpret_cast<HWND>(lParam) != Item(te_Scroll)) return 0;
  handled = true;
  SaveVisibleCells();
  const int code = LOWORD(wParam);
  const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
  const int32_t step = code == SB_LINELEFT    ? -1
                       : code == SB_LINERIGHT ? 1
                       : code == SB_PAGELEFT  ? -kShown
                       : code == SB_PAGERIGHT ? kShown
                                              : 0;
  const int32_t offset = thumb ? HIWORD(wParam) : code == SB_LEFT ? 0 : code == SB_RIGHT ? columns_ : offset_ + step;
  offset_ = std::clamp<int32_t>(offset, 0, std::max<int32_t>(0, columns_ - kShown));
  ShowCells();
  return 0;
}

bool WinTableEditor::OnOk() {
  const int32_t typed = TypedColumns();
  if (typed > 0 && typed != columns_) ColumnsChange(typed);
  SaveVisibleCells();
  return true;
}
