#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host/outputs/CsvWriter.h"
#include "host/outputs/OutputFile.h"
#include "host/outputs/PlotWriter.h"
#include "host/outputs/StreamedFile.h"
#include "host/outputs/VcdWriter.h"
#include "numeric/ValueText.h"

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

HostVariable Var(const char* name, uint16_t kind, uint16_t flags, int32_t width, const char* text) {
  HostVariable v;
  v.name = name;
  v.kind = kind;
  v.flags = flags;
  v.width = width;
  AssignText(v, text);
  return v;
}

VariableStore Store() {
  VariableStore s;
  s.Add(Var("clk", vkClk, 0, 1, "0"));
  s.Add(Var("data bus", vkBus, 1, 3, "000"));
  return s;
}

void Set(VariableStore& s, const char* name, const char* value) { AssignText(*s.Get(s.Find(name)), value); }

}  // namespace

TEST(VcdWriter, WritesHeaderInitialValuesAndOnlyChangesOncePerTime) {
  TempDir dir;
  VariableStore s = Store();
  {
    VcdWriter vcd((dir.path / "a.vcd").string(), {}, "10 us", {{"my block", {{"In", "data bus"}, {"Clk", "clk"}}}},
                  {{"data bus", 0}});
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
  // A bus carries its decoded value beside its bits (101 is -1 in
  // sign-magnitude); a block's scope names the same codes by its ports.
  EXPECT_EQ(Slurp(dir.path / "a.vcd"),
            "$version rir-eda $end\n$timescale 10 us $end\n$scope module design $end\n"
            "$var wire 1 ! clk $end\n$var wire 3 \" data_bus [2:0] $end\n$var real 64 # data_bus_value $end\n"
            "$scope module my_block $end\n$var wire 3 \" In [2:0] $end\n$var real 64 # In_value $end\n"
            "$var wire 1 ! Clk $end\n$upscope $end\n"
            "$upscope $end\n$enddefinitions $end\n"
            "#0\n$dumpvars\n0!\nb000 \"\nr0 #\n$end\n1!\n#7\nb101 \"\nr-1 #\n0!\n#10\n");
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
  s.Add(Var("u", vkBus, 0, 3, "000"));
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

  // With a clock: one row per rising edge, holding what settled at the edge's
  // time, whether or not a bus changed; a glitch within one time is no edge.
  {
    CsvWriter csv((dir.path / "c.csv").string(), {"u"}, {1}, "clk");
    Set(s, "clk", "0");
    csv.Begin(s);
    Set(s, "clk", "1");
    csv.Sample(2, s);
    Set(s, "u", "011");
    csv.Sample(2, s);
    Set(s, "clk", "0");
    csv.Sample(4, s);
    Set(s, "clk", "1");
    csv.Sample(6, s);
    Set(s, "clk", "0");
    csv.Sample(7, s);
    Set(s, "clk", "1");
    csv.Sample(7, s);  // back to 1 at the same time: still high, no new edge
    Set(s, "u", "001");
    csv.Sample(8, s);
    csv.End(9);
    ASSERT_TRUE(csv.Commit());
  }
  EXPECT_EQ(Slurp(dir.path / "c.csv"), "time,u\n2,3\n6,3\n");
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

TEST(StreamedFile, WrittenInPlaceMarkedUntilCommittedAndAnOldFileKeptUntilTheFirstWrite) {
  TempDir dir;
  const fs::path p = dir.path / "x.csv";
  const fs::path marker = StreamedFile::MarkerOf(p.string());
  std::ofstream(p) << "old\n";
  {
    StreamedFile f(p.string());  // a run refused before its first line
    EXPECT_TRUE(f.Ok());
    EXPECT_FALSE(f.ReplacedPartial());
  }
  EXPECT_EQ(Slurp(p), "old\n");
  EXPECT_FALSE(fs::exists(marker));
  {
    StreamedFile f(p.string());
    f.Write("a\n");
    EXPECT_EQ(Slurp(p), "a\n");  // on disk at once, under its own name
    EXPECT_TRUE(fs::exists(marker));
  }  // written, never committed: gone with its marker
  EXPECT_FALSE(fs::exists(p));
  EXPECT_FALSE(fs::exists(marker));

  std::ofstream(p) << "half";  // what a killed run leaves
  std::ofstream(marker) << "";
  StreamedFile f(p.string());
  EXPECT_TRUE(f.ReplacedPartial());
  f.Write("whole\n");
  EXPECT_TRUE(f.Commit());
  EXPECT_EQ(Slurp(p), "whole\n");
  EXPECT_FALSE(fs::exists(marker));
}

TEST(PlotWriter, GnuplotDrawsPngAndSvgFromTheScriptAndDataWrittenBesideThem) {
  TempDir dir;
  VariableStore s = Store();
  s.Add(Var("bin", vkBus, 1, 3, "000"));
  const fs::path p = dir.path / "plot.png";
  PlotOptions o;
  o.image = p.string();
  o.series = {{"data bus", "gen (Sine_Init)", 1, ""}};
  o.window = std::array<int64_t, 2>{100, 200};
  o.timeUnit = "10 us";
  o.title = "a.toml";
  o.width = 400;
  o.panelHeight = 150;
  PlotWriter plot(o);
  plot.Begin(s);
  for (int t = 1; t < 1000; ++t) {
    Set(s, "data bus", t % 7 < 3 ? "111" : "001");
    plot.Sample(t, s);
  }
  plot.End(1000);
  // Only the window's changes, starting with the value standing at its start.
  const std::string data = plot.DataText();
  EXPECT_NE(data.find("\n100 7\n101 1\n"), std::string::npos) << data;
  EXPECT_NE(data.find("\n196 7\n199 1\n200 1\n"), std::string::npos) << data;
  EXPECT_EQ(data.find("\n99 "), std::string::npos);
  EXPECT_EQ(data.find("\n201 "), std::string::npos);
  const std::string script = plot.ScriptText();
  for (const char* part : {"set xlabel 'time (10 us)'", "set grid", "set key", "set xrange [100:200]",
                           "set title 'data bus, written by block gen (Sine_Init)'", "title 'data bus'",
                           "set output 'plot.png'", "set output 'plot.svg'", "data = 'plot.dat'"})
    EXPECT_NE(script.find(part), std::string::npos) << part;

  std::string error;
  ASSERT_TRUE(plot.Commit(error)) << error;
  const std::string png = Slurp(p);
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_NE(Slurp(dir.path / "plot.svg").find("<svg"), std::string::npos);
  EXPECT_EQ(Slurp(dir.path / "plot.gp"), script);
  EXPECT_EQ(Slurp(dir.path / "plot.dat"), data);

  // More changes than four per pixel column: a min/max envelope of at most
  // one column per pixel, each column holding the values standing in it.
  PlotOptions dense = o;
  dense.window.reset();
  dense.image = (dir.path / "dense.png").string();
  PlotWriter many(dense);
  many.Begin(s);
  for (int t = 1; t < 10000; ++t) {
    const int y = t >= 8000 ? 5 : (t < 5000 ? 0 : 6) + t % 2;
    Set(s, "data bus", IntToBits(static_cast<uint32_t>(y), 3).c_str());
    many.Sample(t, s);
  }
  many.End(10000);
  const std::string envelope = many.DataText();
  EXPECT_NE(envelope.find("min/max envelope"), std::string::npos);
  EXPECT_NE(envelope.find("\n0 0 1\n32 0 1\n32 0 1\n"), std::string::npos) << envelope.substr(0, 200);
  EXPECT_NE(envelope.find("\n4992 0 7\n5024 0 7\n5024 6 7\n"), std::string::npos);
  EXPECT_NE(envelope.find("\n7968 6 7\n8000 6 7\n8000 5 5\n"), std::string::npos);
  EXPECT_TRUE(envelope.ends_with("\n9984 5 5\n10000 5 5\n"));
  EXPECT_LE(std::count(envelope.begin(), envelope.end(), '\n'), 2 * 400 + 1);
  EXPECT_TRUE(many.Commit(error)) << error;

  // A spectrum: the last value of each bin.
  PlotOptions so = o;
  so.window.reset();
  so.series = {{"data bus", "", 1, "bin", PlotKind::Spectrum}};
  so.image = (dir.path / "spectrum.png").string();
  PlotWriter spectrum(so);
  spectrum.Begin(s);
  for (int t = 1; t < 20; ++t) {
    Set(s, "bin", IntToBits(static_cast<uint32_t>(t % 4), 3).c_str());
    Set(s, "data bus", IntToBits(static_cast<uint32_t>(t % 8), 3).c_str());
    spectrum.Sample(t, s);
  }
  spectrum.End(20);
  EXPECT_EQ(spectrum.DataText(), "# index 0: data bus against the bins on bin\n0 0\n1 1\n2 2\n3 3\n");

  // gnuplot's complaint comes back, and no image is left behind.
  fs::create_directories(dir.path / "bad");
  std::ofstream(dir.path / "bad" / "x.gp") << "plot 'missing.dat'\n";
  EXPECT_FALSE(RunGnuplot((dir.path / "bad").string(), "x.gp", error));
  EXPECT_NE(error.find("missing.dat"), std::string::npos) << error;
}
