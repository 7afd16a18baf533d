// The transform presenter against a fake view that answers like a toolkit:
// a set number or check echoes back as an event, as Qt's signals do.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "RecordingDialogView.h"
#include "dialogs/logic/TransformDialogPresenter.h"
#include "framework/BlockCatalogue.h"

namespace {

// The recording view with the toolkit's echo: a set number or check comes
// back as an event.
class FakeView : public RecordingDialogView, public TransformDialogView {
 public:
  TransformDialogPresenter* presenter = nullptr;
  std::vector<std::string> tableCells = {"1", "2"};
  int32_t tableShown = -1;

  void SetNumber(std::string_view c, double v) override {
    RecordingDialogView::SetNumber(c, v);
    if (presenter != nullptr) presenter->NumberEdited(c, v);  // the echo
  }
  void SetChecked(std::string_view c, bool on) override {
    RecordingDialogView::SetChecked(c, on);
    if (presenter != nullptr) presenter->Clicked(c);  // the echo
  }
  // A list nothing was chosen in reads as its first item.
  int32_t Index(std::string_view c) const override {
    const auto it = indices.find(std::string(c));
    return it == indices.end() ? 0 : it->second;
  }

  void ShowKindTree(const std::vector<KindItem>&, int32_t, bool) override {}
  std::vector<std::string> EditTable(const float*, int32_t shown, int32_t) override {
    tableShown = shown;
    return tableCells;
  }
  std::optional<std::string> RecordText(std::string_view c) const override {
    const std::string text = Text(c);
    if (text.find('\x80') != std::string::npos) return std::nullopt;  // stands for a character the coding lacks
    return text;
  }
  void SetRecordText(std::string_view c, const std::string& t) override { texts[std::string(c)] = t; }
};

DialogHooks CatalogueHooks() {
  DialogHooks h;
  h.dialogCodeOf = [](const std::string& name) { return DialogCodeOf(name); };
  h.groupOfCode = GroupOfCode;
  h.isFilterCode = IsFilterCode;
  return h;
}

struct Opened {
  FakeView view;
  TransformDialogPresenter presenter{view, view, CatalogueHooks()};
  Opened(const std::string& type, const std::vector<uint8_t>& data = {}) {
    for (const NumberControl& c : TransformNumberControls()) view.numbers[c.name] = c.value;
    view.presenter = &presenter;
    presenter.Start();
    presenter.LoadType(type);
    presenter.LoadSettings("ENGLISH", data);
    presenter.Activate();
  }
};

}  // namespace

TEST(TransformDialogPresenter, NumberRulesTypedTextAndStepsReachTheRecord) {
  Opened d("Bit-Reversed");
  EXPECT_STREQ(d.presenter.Page(), "Bit Reversed");
  // Typed into the signal length, then the order: limited by the halvings
  // of 1024, in the presenter and in the control.
  d.presenter.NumberTyped("Num_Points", "1024");
  d.presenter.NumberEdited("BitRev_Order", 29);
  EXPECT_EQ(d.presenter.Number("BitRev_Order"), 10);
  EXPECT_EQ(d.view.numbers["BitRev_Order"], 10);
  // Text that is not a number shows the value again; a number is taken.
  d.presenter.NumberTyped("BitRev_Order", "x4");
  EXPECT_EQ(d.view.numbers["BitRev_Order"], 10);
  d.presenter.NumberTyped("BitRev_Order", " +4 ");
  EXPECT_EQ(d.presenter.Number("BitRev_Order"), 4);
  d.presenter.NumberStepped("BitRev_Order", true);
  EXPECT_EQ(d.presenter.Number("BitRev_Order"), 5);
  ASSERT_TRUE(d.presenter.Accept());
  alignas(8) TransformParams r{};
  ASSERT_EQ(d.presenter.Result().size(), sizeof r);
  std::memcpy(&r, d.presenter.Result().data(), sizeof r);
  EXPECT_EQ(r.BitRevOrder, 5);
  EXPECT_EQ(r.SignalLength, 1024);
}

TEST(TransformDialogPresenter, StartingCodeListsAndUnstorableTexts) {
  // Without a catalogue the dialog starts where an unknown type leads: 29.
  FakeView bare;
  TransformDialogPresenter none(bare, bare, DialogHooks{});
  EXPECT_EQ(none.DialogCode(), 29);

  // A list edited in the table editor comes back into the working record.
  Opened fir("High-Level FIR");
  fir.presenter.Clicked("FIRS_Taps");
  EXPECT_EQ(fir.view.tableShown, 6);
  EXPECT_EQ(fir.view.texts["FIRS_Taps"], "{1,2}");
  EXPECT_EQ(fir.presenter.WorkingFilter().FirTapsCount, 2);
  fir.view.checks["isMulti_Rate"] = true;
  fir.presenter.Clicked("isMulti_Rate");
  EXPECT_TRUE(fir.view.visibles["Multi_Rate_Box"]);
  EXPECT_EQ(fir.presenter.WorkingFilter().FirMultiRate, 1);

  // A formula the records' coding cannot hold keeps the dialog open with a
  // message, rather than storing it changed.
  Opened any("Any Func");
  any.view.texts["User_func"] = "sin(t)\x80";
  EXPECT_FALSE(any.presenter.Accept());
  ASSERT_EQ(any.view.messages.size(), 1u);
  EXPECT_NE(any.view.messages[0].find("F(t) :"), std::string::npos);
  EXPECT_TRUE(any.presenter.Result().empty());
}
