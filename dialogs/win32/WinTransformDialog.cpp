// The transform dialog of the Windows build ("Transformation options"): the
// tree of kinds on the left, the page of the selected kind on the right, the
// signal length, OK and Cancel. A view of TransformDialogPresenter: this file
// only draws the shared page table and passes the events on.
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "WinDialogView.h"
#include "WinForms.h"
#include "WinTableEditor.h"
#include "WinText.h"
#include "WinTransformIds.h"
#include "dialogs/logic/TransformDialogLayout.h"
#include "dialogs/logic/TransformDialogPresenter.h"

using namespace transform_controls;

namespace {

constexpr int kPageLeft = 280;
constexpr int kPageTop = 34;
// The fixed controls, then the page controls in table order, take ids two
// apart: a spin edit's up-down, a field's "..." button and the tab strip's
// frame sit at id + 1.
constexpr int kFirstFixedId = 1000;
constexpr int kFirstPageId = 1010;

int IdOf(size_t index) { return kFirstPageId + 2 * static_cast<int>(index); }

// The id of a control around the pages, named when compiling.
consteval int FrameId(ControlName name) {
  const int i = ListedIndex(TransformFrameControls(), name, [](const char* n) { return n; });
  if (i < 0) throw "not a control around the pages";
  return kFirstFixedId + 2 * i;
}
constexpr int kNumPointsId = FrameId("Num_Points"_ctl);

std::optional<WinControlRef> RefOf(std::string_view name) {
  const auto frame = TransformFrameControls();
  for (size_t i = 0; i < frame.size(); ++i) {
    if (name == frame[i])
      return WinControlRef{kFirstFixedId + 2 * static_cast<int>(i), name == "Num_Points"_ctl ? kNumPointsId + 1 : 0, 0};
  }
  const auto controls = TransformPageControls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (name != controls[i].name) continue;
    const NumberControl* number = FindNumberControl(controls[i].name);
    return WinControlRef{IdOf(i), number != nullptr ? IdOf(i) + 1 : 0, number != nullptr ? number->decimals : 0};
  }
  return std::nullopt;
}

// The page control of an id, or of its partner's id; nullptr for others.
const PageControl* ControlOfId(int id, bool& partner) {
  const auto controls = TransformPageControls();
  const int index = (id - kFirstPageId) / 2;
  if (id < kFirstPageId || index >= static_cast<int>(controls.size())) return nullptr;
  partner = (id - kFirstPageId) % 2 == 1;
  return &controls[static_cast<size_t>(index)];
}

std::wstring NumberText(double value, int decimals) {
  char text[400];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return WideFromUtf8(std::string(text, end.ec == std::errc() ? end.ptr : text));
}

// The controls as the presenter asks for them: pages shown by the notebook
// index, the tree, the table editor and the texts in the system code page.
class TransformWinView : public WinDialogView, public TransformDialogView {
 public:
  explicit TransformWinView(WinDialog& dialog) : WinDialogView(dialog, RefOf) {}

  void SetNumber(ControlName control, double value) override {
    const std::wstring text = NumberText(value, Ref(control).decimals);
    if (WideFromUtf8(Text(control)) != text) SetWindowTextW(Window(control), text.c_str());
  }
  void SetRange(ControlName, double, double) override {}  // the presenter limits the values
  void SetIndex(ControlName control, int32_t index) override {
    if (control != "Notebook"_ctl) return WinDialogView::SetIndex(control, index);
    page_ = TransformPages()[static_cast<size_t>(index)];
    UpdateVisibility();
  }
  // A page control (or the group box holding it) is hidden by rule.
  void SetVisible(ControlName control, bool visible) override {
    if (Ref(control).id < kFirstPageId) return WinDialogView::SetVisible(control, visible);
    const auto controls = TransformPageControls();
    hidden_.resize(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
      if (control == controls[i].name || (controls[i].box != nullptr && control == controls[i].box))
        hidden_[i] = !visible;
    }
    UpdateVisibility();
  }

  // A page control shows while its page (and LMS tab) is current and no
  // rule hides it.
  void UpdateVisibility() {
    HWND dialog = Dialog().Handle();
    const int tab = static_cast<int>(SendMessageW(Window("LMSS_Pages"_ctl), TCM_GETCURSEL, 0, 0));
    const auto controls = TransformPageControls();
    hidden_.resize(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
      const PageControl& c = controls[i];
      const int shown = page_ == c.page && (c.tab < 0 || c.tab == tab) && !hidden_[i] ? SW_SHOW : SW_HIDE;
      ShowWindow(GetDlgItem(dialog, IdOf(i)), shown);
      if (c.kind == ControlKind::Number || c.kind == ControlKind::Field || c.kind == ControlKind::Tabs)
        ShowWindow(GetDlgItem(dialog, IdOf(i) + 1), shown);
    }
  }

  void ShowKindTree(const std::vector<KindItem>& items, int32_t selected, bool expandAll) override {
    HWND tree = Window("TreeView"_ctl);
    HTREEITEM parent = TVI_ROOT;
    HTREEITEM chosen = nullptr;
    for (const KindItem& item : items) {
      const std::wstring caption = WideFromUtf8(item.caption);
      TVINSERTSTRUCTW insert{};
      insert.hParent = item.child ? parent : TVI_ROOT;
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT | TVIF_PARAM;
      insert.item.pszText = const_cast<wchar_t*>(caption.c_str());
      insert.item.lParam = item.code;
      const auto handle =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
      if (!item.child) parent = handle;
      if (&item - items.data() == selected) chosen = handle;
    }
    if (chosen != nullptr) {
      if (HTREEITEM up = TreeView_GetParent(tree, chosen)) TreeView_Expand(tree, up, TVE_EXPAND);
      TreeView_SelectItem(tree, chosen);
    }
    for (HTREEITEM top = TreeView_GetRoot(tree); expandAll && top != nullptr; top = TreeView_GetNextSibling(tree, top))
      TreeView_Expand(tree, top, TVE_EXPAND);
  }

  std::vector<std::string> EditTable(const float* entries, int32_t shown, int32_t minimumColumns) override {
    WinTableEditor editor;
    editor.LoadList(entries, shown);
    editor.SetMinimumColumns(minimumColumns);
    editor.Run(Dialog().Handle());
    return editor.Cells();
  }

  std::optional<std::string> RecordText(ControlName control) const override {
    return AnsiFromWide(WideFromUtf8(Text(control)));
  }
  void SetRecordText(ControlName control, const std::string& text) override {
    SetWindowTextW(Window(control), WideFromAnsi(text).c_str());
  }

 private:
  std::string page_ = "None";
  std::vector<bool> hidden_;
};

class TransformDialog : public WinDialog {
 public:
  TransformDialog(const DialogRequest& request, DialogHooks& hooks)
      : WinDialog(640, 360), request_(request), view_(*this), presenter_(view_, view_, hooks) {
    // The block type first: an unknown name says so before anything shows.
    presenter_.LoadType(request.typeName);
  }

  std::wstring WindowCaption() const {
    return WideCaption(kTransformDialogCaption, IsRussianLanguage(request_.language));
  }
  const std::vector<uint8_t>& Record() const { return presenter_.Result(); }
  std::optional<ScreenPoint> StoredPosition() const { return presenter_.StoredPosition(ShownAt(), ClosedAt()); }

 protected:
  void OnCreate() override {
    BuildControls();
    presenter_.Start();
    presenter_.LoadSettings(request_.language, request_.data);
  }

  void OnShow() override {
    presenter_.Activate();
    // The first field of the page takes the focus; without one, the tree.
    const auto controls = TransformPageControls();
    for (size_t i = 0; i < controls.size(); ++i) {
      const ControlKind kind = controls[i].kind;
      if (kind != ControlKind::Number && kind != ControlKind::Field && kind != ControlKind::Combo &&
          kind != ControlKind::Check)
        continue;
      HWND control = Item(IdOf(i));
      if (!IsWindowVisible(control) || !IsWindowEnabled(control)) continue;
      PostMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
      break;
    }
  }

  bool OnCommand(int id, int code, HWND) override {
    bool partner = false;
    const PageControl* c = id == kNumPointsId ? nullptr : ControlOfId(id, partner);
    const char* name = id == kNumPointsId ? "Num_Points" : c != nullptr ? c->name : nullptr;
    if (name == nullptr) return false;
    if (id == kNumPointsId || (c->kind == ControlKind::Number && !partner)) {
      if (code == EN_KILLFOCUS) presenter_.NumberTyped(name, Utf8FromWide(Text(id)));
      return true;
    }
    if (code == BN_CLICKED) {
      CommitNumbers();
      presenter_.Clicked(name);
    }
    if (code == CBN_SELCHANGE) presenter_.ComboChanged(name);
    return true;
  }

  LRESULT OnNotify(const NMHDR& header) override {
    const int id = static_cast<int>(header.idFrom);
    bool partner = false;
    const PageControl* c = ControlOfId(id, partner);
    const bool spin = id == kNumPointsId + 1 || (c != nullptr && partner && c->kind == ControlKind::Number);
    if (header.code == UDN_DELTAPOS && spin) {
      const char* name = id == kNumPointsId + 1 ? "Num_Points" : c->name;
      presenter_.NumberTyped(name, Utf8FromWide(Text(id - 1)));
      presenter_.NumberStepped(name, reinterpret_cast<const NMUPDOWN&>(header).iDelta > 0);
      return 1;  // the up-down keeps its position: the value is the presenter's
    }
    const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
    if (id == FrameId("TreeView"_ctl) && header.code == TVN_SELCHANGEDW && change.itemNew.hItem != nullptr) {
      // A group item opens when selected.
      if (TreeView_GetParent(Item(id), change.itemNew.hItem) == nullptr)
        TreeView_Expand(Item(id), change.itemNew.hItem, TVE_EXPAND);
      presenter_.KindSelected(static_cast<int32_t>(change.itemNew.lParam));
    }
    if (id == WinTransformControlId("LMSS_Pages"_ctl) && header.code == TCN_SELCHANGE) view_.UpdateVisibility();
    return 0;
  }

  // A typed number that was refused keeps the dialog open.
  bool OnOk() override { return CommitNumbers() && presenter_.Accept(); }

 private:
  // Typed text is taken when the field is left, and before a button acts;
  // false when a text was refused.
  bool CommitNumbers() {
    // The signal length first: other numbers' limits follow it.
    bool taken = presenter_.NumberTyped("Num_Points"_ctl, Utf8FromWide(Text(kNumPointsId)));
    const auto controls = TransformPageControls();
    for (size_t i = 0; i < controls.size(); ++i) {
      if (controls[i].kind == ControlKind::Number)
        taken = presenter_.NumberTyped(controls[i].name, Utf8FromWide(Text(IdOf(i)))) && taken;
    }
    return taken;
  }

  // The presenter gives it its value.
  void AddNumber(int id, int x, int y, int w, int h) {
    AddUpDown(id + 1, AddEdit(id, L"", x, y, w, h));
    // Mid-range: both arrows stay live; the presenter holds the value.
    SendMessageW(Item(id + 1), UDM_SETRANGE32, 0, 100);
    SendMessageW(Item(id + 1), UDM_SETPOS32, 0, 50);
  }

  void AddPageControl(const PageControl& c, int id) {
    const int x = kPageLeft + c.x + (c.tab >= 0 ? 8 : 0);
    const int y = kPageTop + c.y + (c.tab >= 0 ? 30 : 0);
    const std::wstring caption = WideFromUtf8(TransformCaptionOf(c.name));
    switch (c.kind) {
      case ControlKind::Label:
        AddLabel(id, caption, x, y, c.w, c.h);
        break;
      case ControlKind::CenteredLabel:
        AddControl(L"STATIC", id, caption, SS_CENTER, x, y, c.w, c.h);
        break;
      case ControlKind::Number:
        AddNumber(id, x, y, c.w, c.h);
        break;
      case ControlKind::Check:
        AddCheck(id, caption, x, y, c.w, c.h);
        break;
      case ControlKind::Combo:
        AddCombo(id, WideItems(FindComboControl(c.name)->items), x, y, c.w, c.h);
        break;
      case ControlKind::Field:
        // Lists are edited in the table editor only, so typed text is never dropped.
        AddEdit(id, L"", x, y, c.w, c.h, ListOfField(c.name) ? ES_READONLY : 0);
        AddButton(id + 1, L"...", x + c.w + 2, y, 26, c.h);
        break;
      case ControlKind::Group:
        AddGroup(id, caption, x, y, c.w, c.h);
        break;
      case ControlKind::Tabs:
        // Only the tab strip: the pages' controls sit on the dialog's own
        // background, framed below it, in every theme.
        AddTab(id, WideItems(kLmsTabs), x, y, c.w, 24);
        AddControl(L"STATIC", id + 1, L"", SS_ETCHEDFRAME, x, y + 23, c.w, c.h - 23);
        break;
      case ControlKind::Memo:
        AddEdit(id, L"", x, y, c.w, c.h, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN);
        break;
    }
  }

  void BuildControls() {
    AddTree(FrameId("TreeView"_ctl), 8, 8, 252, 344);
    AddGroup(FrameId("GroupBox1"_ctl), WideFromUtf8(TransformCaptionOf("GroupBox1"_ctl)), 268, 8, 364, 308);
    const auto controls = TransformPageControls();
    for (size_t i = 0; i < controls.size(); ++i) AddPageControl(controls[i], IdOf(i));
    AddLabel(FrameId("SigLen_label"_ctl), WideFromUtf8(TransformCaptionOf("SigLen_label"_ctl)), 268, 329, 100, 20);
    AddNumber(kNumPointsId, 372, 325, 80, 24);
    AddButton(FrameId("PreViewBtn"_ctl), WideFromUtf8(TransformCaptionOf("PreViewBtn"_ctl)), 372, 325, 0, 0);
    AddButton(IDOK, L"OK", 462, 325, 80, 26, true);
    AddButton(IDCANCEL, IsRussianLanguage(request_.language) ? L"Отмена" : L"Cancel", 552, 325, 80, 26);
    // Frames below what they hold, so they never paint over it.
    for (int id : {WinTransformControlId("LMSS_Multi_Rate"_ctl), WinTransformControlId("Multi_Rate_Box"_ctl),
                   WinTransformControlId("LMSS_Pages"_ctl) + 1, FrameId("GroupBox1"_ctl)})
      SetWindowPos(Item(id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  const DialogRequest& request_;
  TransformWinView view_;
  TransformDialogPresenter presenter_;
};

}  // namespace

int WinTransformControlId(std::string_view name) {
  const std::optional<WinControlRef> ref = RefOf(name);
  return ref ? ref->id : 0;
}

DialogResult RunWinTransformDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner) {
  TransformDialog dialog(request, hooks);
  DialogResult result;
  result.accepted = dialog.RunModal(owner, dialog.WindowCaption(), request.position);
  if (!result.accepted) return result;
  result.position = dialog.StoredPosition();
  result.data = dialog.Record();
  return result;
}
