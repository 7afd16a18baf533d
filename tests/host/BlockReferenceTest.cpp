// "rir-eda blocks": the reference printed from the catalogue table and the
// record field tables, and the warning for a field a type never reads.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "host/design/BlockReference.h"
#include "host/design/BlockTypes.h"
#include "host/design/DesignReader.h"
#include "host/design/RecordFields.h"

namespace {

std::string Describe(const std::string& type) {
  std::ostringstream out;
  EXPECT_TRUE(DescribeBlock(type, out)) << type;
  return out.str();
}

void ExpectLines(const std::string& text, std::initializer_list<const char*> parts) {
  for (const char* part : parts)
    EXPECT_NE(text.find(part), std::string::npos) << "missing \"" << part << "\" in\n" << text;
}

}  // namespace

// One type of each family.
TEST(BlockReference, OneTypeOfEachFamily) {
  const std::string sine = Describe("Sine_Init");
  ExpectLines(sine, {"Sine_Init: sine: SineAmp * sin(2 pi t / SinePeriod)\n",
                     "class TGenerator, type name \"Sine\", ordinal 131, generator kind 1",
                     "  Out     output  required  kind Line or Bus", "  Clk     input   optional  kind any",
                     "stored as \"Sine_parameters\"",
                     "  SinePeriod  int64\n      default 10000; range any; 0 gives 0; unit time units\n"
                     "      sine period\n",
                     "  SineAmp  int64\n      default 100", "first 10001 samples", "Formula: at most 55 characters"});
  EXPECT_EQ(sine.find("ConstantValue"), std::string::npos);  // read by Constant only

  const std::string add = Describe("Addition_Substraction_Init");
  ExpectLines(add, {"class TSimpleTransform", "catalogue code 35, dialog code 65, group 2",
                    "  DIn     input   required  kind Bus, width w", "  D2In    input   optional",
                    "  Add_Sub_coef  float64\n      default 13; range any\n      coefficient added to the input\n",
                    "User_func: at most 55 characters"});

  const std::string hann = Describe("Hann trans");  // by its type name
  ExpectLines(hann,
              {"Hann_trans_Init: N samples times a Hann window", "ordinal 6, catalogue code 8, dialog code 38, group 9",
               "  W       input   required  kind Line", "  DSOut   output  optional  kind Bus, width 2w",
               "  Num_Points  int32\n      default 102; range 1..10001; <= 0 means 102; unit samples",
               "N (Num_Points) <= 10001", "at most 65 convolution taps"});

  const std::string lms = Describe("High_Level_LMS");  // without "_Init"
  ExpectLines(lms,
              {"class TFilterTransform", "  DDes    input   required  kind Bus",
               "filter record, 2024 bytes, stored as \"High-Level LMS\"",
               "  LMSS_Delay  float32[65]\n      default [1, 1, 1, 1, 1] then 0", "at most 65 taps and delay values"});
  EXPECT_EQ(lms.find("FIRS_Taps"), std::string::npos);
  EXPECT_EQ(Describe("High_Level_FIR_Init").find("DDes"), std::string::npos);

  const std::string save = Describe("Wave_Save_Init");
  ExpectLines(save, {"class TWaveIO (save)", "  C1      input   required  kind Bus, width 1..255",
                     "  FileName  text(55)\n      default \"test.wav\"", "  SampleRate  int32\n      default 8000",
                     "FileName: at most 55 characters"});

  std::ostringstream none;
  EXPECT_FALSE(DescribeBlock("Sinus_Init", none));
  std::ostringstream list;
  ListBlocks(list);
  ExpectLines(list.str(), {"Sine_Init", "sine: SineAmp", "Wave_Load_Init", "plays a WAVE file"});
  // The overview lists a class's fields as its types' pages do: a player reads only its file's name.
  ExpectLines(list.str(), {"parameters (wave record, 68 bytes):\n    FileName\n\nTWaveIO (save)",
                           "parameters (wave record, 68 bytes):\n    FileName SampleRate BitsPerSample Channels\n"});
}

// Every field a type reads is a settable field of its record.
TEST(BlockReference, TableFieldsExistInTheRecords) {
  for (const BlockType& t : AllBlockTypes()) {
    const RecordLayout& layout = RecordOf(t.blockClass);
    for (const char* name : t.row->fields) {
      const RecordField* f = FindField(layout, name);
      ASSERT_NE(f, nullptr) << t.exportName << " " << name;
      EXPECT_FALSE(f->libraryState) << t.exportName << " " << name;
      EXPECT_NE(f->meaning[0], '\0') << name;
    }
  }
}

TEST(BlockReference, FieldsATypeNeverReadsAreWarnedAbout) {
  const std::string text = R"([simulation]
steps = 10

[[variable]]
name = "y"
width = 8

[[block]]
name = "gen"
type = "Sine_Init"
outputs = { Out = "y" }

[block.parameters]
SinePeriod = 64
ConstantValue = 3
)";
  Design d = ParseDesign(text, "d.toml");
  ASSERT_EQ(d.warnings.size(), 1u);
  EXPECT_EQ(d.warnings[0],
            "d.toml:15: warning: block \"gen\" (Sine_Init) sets field \"ConstantValue\", which this block type never "
            "reads (see \"rir-eda blocks Sine_Init\")");
  // The same from the command line; a field the type reads gives none.
  d = ParseDesign(text, "d.toml", {"gen.SineAmp=5", "gen.Mean=2"});
  ASSERT_EQ(d.warnings.size(), 2u);
  EXPECT_EQ(d.warnings[1],
            "--set gen.Mean=2: warning: block \"gen\" (Sine_Init) sets field \"Mean\", which this block type never "
            "reads (see \"rir-eda blocks Sine_Init\")");
}
