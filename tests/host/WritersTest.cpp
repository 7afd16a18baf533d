#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host/CsvWriter.h"
#include "host/OutputFile.h"
#include "host/PngPlot.h"
#include "host/VcdWriter.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct TempDir {
  fs::path path = fs::temp_directory_path() / ("rir_writers_" + std::to_string(getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
  TempDir() { fs::create_directories(path); }
  ~TempDir() { fs::remove_all(path); }
};

VariableStore Store() {
  VariableStore s;
  s.Add({"clk", vkClk, 0, 1, "0", 0});
  s.Add({"data bus", vkBus, 1, 3, "000", 0});
  return s;
}

void Set(VariableStore& s, const char* name, const char* value) { s.Get(s.Find(name))->value = value; }

}  // namespace

TEST(VcdWriter, WritesHeaderInitialValuesAndOnlyChangesOncePerTime) {
  TempDir dir;
  VariableStore s = Store();
  {
    VcdWriter vcd((dir.path / "a.vcd").string(), {});
    vcd.Begin(s);
    Set(s, "clk", "1");
    vcd.Sample(0, s);  // a change at time 0 after the initial dump
    vcd.Sample(5, s);  // nothing changed: no time stamp
    Set(s, "data bus", "101");
    vcd.Sample(7, s);
    Set(s, "clk", "0");
    vcd.Sample(7, s);  // same time again: one stamp
    vcd.End(10);
    ASSERT_TRUE(vcd.Commit());
  }
  EXPECT_EQ(Slurp(dir.path / "a.vcd"),
            "$version rir-eda $end\n$timescale 1ns $end\n$scope module design $end\n"
            "$var wire 1 ! clk $end\n$var wire 3 \" data_bus [2:0] $end\n$upscope $end\n$enddefinitions $end\n"
            "#0\n$dumpvars\n0!\nb000 \"\n$end\n1!\n#7\nb101 \"\n0!\n#10\n");
  EXPECT_FALSE(fs::exists(dir.path / "a.vcd.partial"));

  std::set<std::string> ids;
  for (size_t i = 0; i < 20000; ++i) {
    const std::string id = VcdWriter::IdentifierCode(i);
    for (char c : id) ASSERT_TRUE(c >= '!' && c <= '~');
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 20000u);
}

TEST(CsvWriter, DecodesInEachSignModeAndWritesOneRowPerChangedTime) {
  TempDir dir;
  VariableStore s = Store();
  s.Add({"u", vkBus, 0, 3, "000", 0});
  Set(s, "data bus", "101");
  Set(s, "u", "101");
  {
    CsvWriter csv((dir.path / "a.csv").string(), {"data bus", "u"}, {0, 1});
    csv.Begin(s);
    csv.Sample(0, s);
    Set(s, "u", "111");
    csv.Sample(3, s);
    Set(s, "u", "010");
    csv.Sample(3, s);  // settled value of time 3 wins
    csv.Sample(4, s);  // unchanged: no row
    Set(s, "data bus", "011");
    csv.Sample(6, s);
    csv.End(9);
    ASSERT_TRUE(csv.Commit());
  }
  EXPECT_EQ(Slurp(dir.path / "a.csv"), "time,data bus,u\n0,-1,5\n3,-1,2\n6,3,2\n");
}

TEST(OutputFile, NothingAppearsUnlessCommittedAndFailuresLeaveNoFile) {
  TempDir dir;
  const fs::path p = dir.path / "x.txt";
  {
    OutputFile f(p.string());
    f.Write("half");
  }  // a run that failed before its end
  EXPECT_FALSE(fs::exists(p));
  EXPECT_TRUE(fs::is_empty(dir.path));

  OutputFile missing((dir.path / "no/such/folder/x.txt").string());
  missing.Write("x");
  EXPECT_FALSE(missing.Commit());

  {
    OutputFile f(p.string());
    f.Write("whole");
    EXPECT_TRUE(f.Commit());
  }
  EXPECT_EQ(Slurp(p), "whole");
}

TEST(PngPlot, WritesAValidImageOfTheChosenBuses) {
  TempDir dir;
  VariableStore s = Store();
  const fs::path p = dir.path / "plot.png";
  PngPlot plot(p.string(), {"data bus"}, {1}, 300, 80);
  plot.Begin(s);
  for (int t = 1; t < 1000; ++t) {
    Set(s, "data bus", t % 7 < 3 ? "111" : "001");
    plot.Sample(t, s);
  }
  plot.End(1000);
  ASSERT_TRUE(plot.Commit());
  const std::string png = Slurp(p);
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  auto be32 = [&](size_t at) {
    return (uint32_t(uint8_t(png[at])) << 24) | (uint32_t(uint8_t(png[at + 1])) << 16) |
           (uint32_t(uint8_t(png[at + 2])) << 8) | uint32_t(uint8_t(png[at + 3]));
  };
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(be32(16), 300u);
  EXPECT_EQ(be32(20), 100u);  // one panel of 80 and its margins
  EXPECT_FALSE(fs::exists(dir.path / "plot.png.partial"));
  EXPECT_EQ(plot.Legend(), "panel 1 (blue): data bus, 0 .. 7, time 0 .. 1000\n");
  EXPECT_NE(png.find("Description"), std::string::npos);
  EXPECT_FALSE(WritePng((dir.path / "no/such/x.png").string(), 2, 2, std::vector<uint8_t>(12)));
}
