// The textual write-back of "rir-eda edit": comments, layout and other
// blocks stay byte for byte; values are replaced or added so that the design
// reads back to the chosen record.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "host/cli/EditCommand.h"
#include "host/design/DesignReader.h"
#include "host/design/DesignText.h"
#include "host/design/RecordFields.h"

namespace {

const char* kDesign = R"(# a design with comments
[simulation]
sample_period = 2   # keep me
steps = 10

[[variable]]
name = "x"
width = 16

[[variable]]
name = "w"
width = 16

# the generator
[[block]]
name = "gen"
type = "Sine_Init"
outputs = { Out = "x" }
parameters = { SineAmp = 1000, SinePeriod = 32 }   # 8 samples per cycle

[[block]]
name = "other"
type = "Sine_Init"
outputs = { Out = "w" }
parameters = { SineAmp = 1000 }
)";

FieldValue Field(const Design& d, size_t block, const char* name, const RecordLayout& layout) {
  const RecordField* f = FindField(layout, name);
  EXPECT_NE(f, nullptr) << name;
  return GetField(layout, d.blocks.at(block).record.data(), *f);
}

std::string Edit(const std::string& text, size_t block, std::vector<FieldEdit> fields,
                 std::optional<std::string> position = std::nullopt) {
  BlockEdits e;
  e.fields = std::move(fields);
  e.position = std::move(position);
  return EditBlockText(text, block, e);
}

}  // namespace

TEST(DesignText, InlineTableKeepsEverythingElse) {
  const std::string out =
      Edit(kDesign, 0, {{"SineAmp", TomlValueText(int64_t{250})}, {"ToneInitValue", TomlValueText(int64_t{-3})}});
  // Only the one line changed, and only inside its braces.
  const std::string expected = std::string(kDesign).replace(
      std::string(kDesign).find("SineAmp = 1000, SinePeriod = 32 }"), std::strlen("SineAmp = 1000, SinePeriod = 32 }"),
      "SineAmp = 250, SinePeriod = 32, ToneInitValue = -3 }");
  EXPECT_EQ(out, expected);
  const Design d = ParseDesign(out, "x.toml");
  const RecordLayout& g = GeneratorRecordLayout();
  EXPECT_EQ(std::get<int64_t>(Field(d, 0, "SineAmp", g)), 250);
  EXPECT_EQ(std::get<int64_t>(Field(d, 1, "SineAmp", g)), 1000);

  // The second block: the first one is untouched.
  const std::string second = Edit(kDesign, 1, {{"SinePeriod", "7"}});
  EXPECT_EQ(second.substr(0, second.find("name = \"other\"")),
            std::string(kDesign).substr(0, std::string(kDesign).find("name = \"other\"")));
  EXPECT_NE(second.find("parameters = { SineAmp = 1000, SinePeriod = 7 }"), std::string::npos);
}

TEST(DesignText, ValuesRoundTripExactly) {
  // Texts with quotes, backslashes and control characters, and reals of
  // both widths, read back to exactly what was written.
  EXPECT_EQ(TomlValueText(std::string("a \"b\" \\c\td")), R"("a \"b\" \\c\td")");
  EXPECT_EQ(TomlValueText(std::string("\x01")), R"("\u0001")");
  EXPECT_EQ(TomlValueText(std::vector<double>{0.5, 0, 2, 0, 0}), "[0.5, 0.0, 2.0]");
  EXPECT_EQ(TomlValueText(std::vector<double>{}), "[]");
  EXPECT_THROW(TomlValueText(std::string("\xff\xfe")), DesignTextError);
  EXPECT_EQ(TomlValueText(std::string("\xd0\x90")), "\"\xd0\x90\"");  // UTF-8 kept as it is

  const RecordLayout& w = WaveRecordLayout();
  const RecordLayout& f = FilterRecordLayout();
  const double third = static_cast<double>(1.0f / 3.0f);
  const double tiny = static_cast<double>(FLT_TRUE_MIN);
  const std::string text = R"([simulation]
steps = 1
[[variable]]
name = "s"
width = 16
[[variable]]
name = "o"
width = 16
[[block]]
name = "player"
type = "Wave_Load_Init"
outputs = { C1 = "s" }
[[block]]
name = "iir"
type = "High_Level_IIR_Init"
inputs = { DSrc = "s" }
outputs = { DOut = "o" }
parameters = {}
)";
  std::string out = Edit(text, 0, {{"FileName", TomlValueText(std::string("dir\\\"q\" x.wav"))}});
  out = Edit(out, 1,
             {{"IIRS_TapsCount", "4"}, {"IIRS_Taps", TomlValueText(std::vector<double>{third, -tiny, 1e30, 0.1f})}});
  // Read as the editor reads it: the file need not exist yet.
  const Design d = ParseDesign(out, "x.toml", {}, DesignUse::Edit);
  EXPECT_EQ(std::get<std::string>(Field(d, 0, "FileName", w)), "dir\\\"q\" x.wav");
  const auto taps = std::get<std::vector<double>>(Field(d, 1, "IIRS_Taps", f));
  EXPECT_EQ(taps[0], third);
  EXPECT_EQ(taps[1], -tiny);
  EXPECT_EQ(taps[2], static_cast<double>(1e30f));
  EXPECT_EQ(taps[3], static_cast<double>(0.1f));
  EXPECT_EQ(taps[4], 0.0);
  // The new keys were added to the player as a new inline table line.
  EXPECT_NE(out.find("outputs = { C1 = \"s\" }\nparameters = { FileName = "), std::string::npos);
}

TEST(DesignText, OtherTableFormsAndPosition) {
  const std::string valid =
      "[simulation]\r\nsteps = 1\r\n[[variable]]\r\nname = \"x\"\r\nwidth = 16\r\n"
      "[[block]]\r\n  name = \"a\"\r\n  type = \"Sine_Init\"\r\n  outputs = { Out = \"x\" }\r\n"
      "  dialog_position = [1, 2]   # where it was\r\n"
      "[block.parameters]\r\n"
      "SinePeriod = 64  # a comment\r\n"
      "\r\n# trailing comment\r\n";
  const std::string out = Edit(valid, 0, {{"SinePeriod", "128"}, {"SineAmp", "7"}}, std::string("[-10, 20]"));
  EXPECT_EQ(out,
            "[simulation]\r\nsteps = 1\r\n[[variable]]\r\nname = \"x\"\r\nwidth = 16\r\n"
            "[[block]]\r\n  name = \"a\"\r\n  type = \"Sine_Init\"\r\n  outputs = { Out = \"x\" }\r\n"
            "  dialog_position = [-10, 20]   # where it was\r\n"
            "[block.parameters]\r\n"
            "SinePeriod = 128  # a comment\r\n"
            "SineAmp = 7\r\n"
            "\r\n# trailing comment\r\n");
  const Design d = ParseDesign(out, "x.toml");
  ASSERT_TRUE(d.blocks[0].dialogPosition.has_value());
  EXPECT_EQ((*d.blocks[0].dialogPosition)[0], -10);

  // Dotted keys in the block itself; a position is added as a new line.
  const std::string dotted =
      "[simulation]\nsteps = 1\n[[variable]]\nname = \"x\"\nwidth = 16\n"
      "[[block]]\nname = \"a\"\ntype = \"Sine_Init\"\n"
      "parameters.SineAmp = 5\noutputs = { Out = \"x\" }\n\n[output]\ncsv = \"o.csv\"\n";
  const std::string out2 = Edit(dotted, 0, {{"SineAmp", "6"}, {"SinePeriod", "9"}}, std::string("[3, 4]"));
  EXPECT_EQ(out2,
            "[simulation]\nsteps = 1\n[[variable]]\nname = \"x\"\nwidth = 16\n"
            "[[block]]\nname = \"a\"\ntype = \"Sine_Init\"\n"
            "parameters.SineAmp = 6\nparameters.SinePeriod = 9\noutputs = { Out = \"x\" }\n"
            "dialog_position = [3, 4]\n\n[output]\ncsv = \"o.csv\"\n");
  EXPECT_NO_THROW(ParseDesign(out2, "x.toml"));

  // Only existing keys when the record lives in a record file.
  BlockEdits only;
  only.replaceOnly = true;
  only.fields = {{"SineAmp", "8"}, {"SinePeriod", "9"}};
  const std::string out3 = EditBlockText(dotted, 0, only);
  EXPECT_NE(out3.find("parameters.SineAmp = 8\noutputs"), std::string::npos);
  EXPECT_EQ(out3.find("SinePeriod"), std::string::npos);

  // The block's [block.parameters] may stand after another table: new
  // fields join it there instead of redefining it in the block.
  const std::string apart =
      "[simulation]\nsteps = 1\n[[variable]]\nname = \"x\"\nwidth = 16\n"
      "[[block]]\nname = \"a\"\ntype = \"Sine_Init\"\noutputs = { Out = \"x\" }\n"
      "[output]\ncsv = \"o.csv\"\n[block.parameters]\nSineAmp = 5\n";
  const std::string out4 = Edit(apart, 0, {{"SineAmp", "6"}, {"SinePeriod", "9"}});
  EXPECT_EQ(out4.substr(out4.find("[output]")),
            "[output]\ncsv = \"o.csv\"\n[block.parameters]\nSineAmp = 6\nSinePeriod = 9\n");
  EXPECT_NO_THROW(ParseDesign(out4, "x.toml"));

  // A block written as an inline array of tables cannot be edited in place.
  EXPECT_THROW(Edit("block = [{ name = \"a\" }]\n", 0, {{"SineAmp", "1"}}), DesignTextError);
}

TEST(DesignText, EditRefusesBadDesignsAndUnknownBlocks) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("rir_edit_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  auto write = [&](const char* name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  };
  auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  std::ostringstream out, err;
  const std::string good = write("good.toml", kDesign);
  EXPECT_EQ(EditDesignBlock({good, "nope", "", "/nonexistent/librir_eda.so"}, out, err), 2);
  EXPECT_NE(err.str().find("no block named \"nope\" (blocks: gen, other)"), std::string::npos) << err.str();
  EXPECT_EQ(read(good), kDesign);

  const std::string broken = std::string(kDesign) + "[[block]\n";
  const std::string bad = write("bad.toml", broken);
  EXPECT_EQ(EditDesignBlock({bad, "gen", "", "/nonexistent/librir_eda.so"}, out, err), 2);
  EXPECT_EQ(read(bad), broken);

  // A known block but no plug-in: nothing is written either.
  EXPECT_EQ(EditDesignBlock({good, "gen", "", "/nonexistent/librir_eda.so"}, out, err), 2);
  EXPECT_EQ(read(good), kDesign);
  EXPECT_EQ(EditDesignBlock({(dir / "missing.toml").string(), "gen", "", ""}, out, err), 2);
  fs::remove_all(dir);
}
