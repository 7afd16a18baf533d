// The transform and wave dialogs through the plug-in's exports, as a host
// calls them: the plug-in loads the module, which runs its own application.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <QTreeWidget>
#include <cstring>
#include <functional>

#include "numeric/ParameterRecords.h"
#include "support/DialogExports.h"
#include "support/PluginFixture.h"
#include "support/RecordBytes.h"
#include "tests/dialogs/FakeExtParameter.h"

namespace {

template <class Record>
std::vector<uint8_t> Bytes(const Record& r) {
  return RecordBytes(r);
}

}  // namespace

TEST(TransformWaveExports, FilterGroupDialogStoresItsRecordAndPosition) {
  alignas(8) FilterParams f{};
  DefaultFilterRecord(f);
  f.TransformCode = 14;
  f.LmsErrDly = 5;
  FakeExtParameter host;
  host.typeName = "Filters_Group";
  host.data = Bytes(f);
  host.position = std::vector<int32_t>{40, 30};  // a stored position is stored again
  int treeItems = -1;
  host.onData = [&] {
    OnModal([&](QWidget* dialog) {
      auto* tree = dialog->findChild<QTreeWidget*>("TreeView");
      ASSERT_NE(tree, nullptr);
      treeItems = tree->topLevelItemCount();
      EXPECT_EQ(tree->currentItem()->text(0), "High-Level IIR");
      dialog->findChild<QAbstractButton*>("Apply_Btn")->click();
    });
  };
  ShownMessages().clear();
  Export("TransExtParams")(&host);
  EXPECT_TRUE(ShownMessages().empty());
  EXPECT_EQ(treeItems, 1);
  ASSERT_EQ(host.positionsSet.size(), 1u);
  ASSERT_EQ(host.dataSet.size(), 1u);
  ASSERT_EQ(host.dataSet[0].size(), sizeof(FilterParams));
  alignas(8) FilterParams stored;
  std::memcpy(&stored, host.dataSet[0].data(), sizeof stored);
  EXPECT_EQ(stored.TransformCode, 14);
  EXPECT_EQ(stored.LmsErrDly, 5);
  EXPECT_EQ(host.refs, 1);
}

TEST(TransformWaveExports, UnknownTransformNameShowsMessage22AndCancelStoresNothing) {
  FakeExtParameter host;
  host.typeName = "Mystery";
  host.onData = [] { OnModal([](QWidget* dialog) { dialog->findChild<QAbstractButton*>("BitBtn1")->click(); }); };
  ShownMessages().clear();
  Export("TransExtParams")(&host);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].text, "RIR Eda Err:Mystery - Function Name not found");
  EXPECT_TRUE(host.dataSet.empty());
  EXPECT_TRUE(host.positionsSet.empty());
}

TEST(TransformWaveExports, SaveWaveDialogStoresOneChannel) {
  alignas(4) WaveParams w{};
  DefaultWaveRecord(w);
  w.SampleRate = 44100;
  w.Channels = 2;
  FakeExtParameter host;
  host.typeName = "Save Wave";
  host.data = Bytes(w);
  host.onData = [] {
    OnModal([](QWidget* dialog) {
      EXPECT_EQ(dialog->findChild<QComboBox*>("WaveRate")->currentText(), "44100");
      dialog->findChild<QAbstractButton*>("OKBtn")->click();
    });
  };
  Export("WaveExtParams")(&host);
  ASSERT_EQ(host.dataSet.size(), 1u);
  ASSERT_EQ(host.dataSet[0].size(), sizeof(WaveParams));
  alignas(4) WaveParams stored;
  std::memcpy(&stored, host.dataSet[0].data(), sizeof stored);
  EXPECT_EQ(stored.SampleRate, 44100);
  EXPECT_EQ(stored.Channels, 1);
  EXPECT_EQ(stored.FileName.Get(), "test.wav");
}
