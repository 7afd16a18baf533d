// Generators through their init exports, as a host drives them.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>

#include "GeneratorRig.h"
#include "support/AllocationCounter.h"

namespace {

// The recurrence of the shared uniform source, restated independently.
struct Uniform {
  uint32_t seed = 0;
  float Next() {
    seed = seed * 134775813u + 1u;
    const float u = static_cast<float>(seed / 4294967296.0);
    return u < 1.0f ? u : std::nextafter(1.0f, 0.0f);
  }
};

std::vector<int32_t> Repeat(std::vector<int32_t> cycle, int n) {
  std::vector<int32_t> out;
  for (int i = 0; i < n; ++i) out.push_back(cycle[i % cycle.size()]);
  return out;
}

GeneratorParams Window(int64_t len, int64_t amp) {
  GeneratorParams p = Defaults();
  p.WindowLen = len;
  p.WindowAmp = amp;
  return p;
}

}  // namespace

TEST(GeneratorBlock, ConstructionChecksOutAndClk) {
  {
    InProcessHost host;
    host.AddVariable("Out", vkClk, 8, kWritableFlag);
    Block block("Sine_Init", host);
    ASSERT_EQ(host.Reports().size(), 1u);
    EXPECT_EQ(host.Reports()[0].code, 2);
    EXPECT_EQ(host.Reports()[0].argument, static_cast<intptr_t>(host.Resolve("Out")));
    EXPECT_FALSE(block->IsValid());
    EXPECT_STREQ(block->GetTypeName(), "");
    EXPECT_EQ(block->TimeStep(), -1);  // never runs half-built
  }
  {
    InProcessHost host;
    host.AddVariable("Out", vkLine, 1, 0);
    Block block("Sine_Init", host);
    ASSERT_EQ(host.Reports().size(), 1u);
    EXPECT_EQ(host.Reports()[0].code, 2);
    EXPECT_FALSE(block->IsValid());
  }
  GenRig free("Sine"), clocked("Sine", {.clocked = true});
  EXPECT_TRUE(free->IsValid());
  EXPECT_EQ(free->GetActivation(), 8);
  EXPECT_TRUE(clocked->IsValid());
  EXPECT_EQ(clocked->GetActivation(), 4);
  clocked->Reserved21();
  EXPECT_TRUE(clocked.host.Reports().empty());

  // Kaiser_Init is a Blackman generator and reads Blackman's record.
  GeneratorParams p = Defaults();
  p.BlackLen = 4;
  p.BlackAmp = 10;
  GenRig kaiser("Blackman", {.record = &p}, "Kaiser_Init");
  EXPECT_EQ(kaiser.Steps(5), (std::vector<int32_t>{0, 1005, 10, 1005, 0}));
}

TEST(GeneratorBlock, SineTableThenZerosAndNoRestart) {
  GenRig sine("Sine");
  for (int i = 0; i < 10001; ++i) {
    const int32_t expected = static_cast<int32_t>(std::nearbyint(100 * std::sin(6.283185307L * i / 10000)));
    ASSERT_EQ(sine.Step(), expected) << i;
    if (i == 2500) {
      ASSERT_EQ(expected, 100);
    }
  }
  EXPECT_EQ(sine.Text(), std::string(32, '0'));
  sine->Start();
  EXPECT_EQ(sine->TimeStep(), 1);
  EXPECT_EQ(sine.Text(), std::string(32, '0'));

  // A second run continues where the first stopped; only a load rewinds.
  GenRig slow("Sine", {.period = 2.6L});
  EXPECT_EQ(slow->TimeStep(), 3);
  for (int i = 1; i < 834; ++i) slow.Step();
  slow->Start();
  EXPECT_EQ(slow.Step(), 100);  // Table[834]: t = 2502
  slow->LoadParameters();
  EXPECT_EQ(slow.Step(), 0);
}

TEST(GeneratorBlock, ConstantAndSignModeTexts) {
  GenRig four("Constant", {.width = 4});
  for (int i = 0; i < 10001; ++i) {
    four->TimeStep();
    ASSERT_EQ(four.Text(), "1011") << i;
  }
  four->TimeStep();
  EXPECT_EQ(four.Text(), "0000");

  auto text = [](double value, int signMode) {
    GeneratorParams p = Defaults();
    p.ConstantValue = value;
    GenRig rig("Constant", {.width = 8, .signMode = signMode, .record = &p});
    rig->TimeStep();
    return rig.Text();
  };
  EXPECT_EQ(text(-1, 0), "10000001");
  EXPECT_EQ(text(-200, 0), text(200, 0));
  EXPECT_EQ(text(200, 0), "11001000");
  EXPECT_EQ(text(-1, 1), "00000001");
  EXPECT_EQ(text(2.5, 1), "00000010");  // ties to even
  EXPECT_EQ(text(3.5, 1), "00000100");
}

TEST(GeneratorBlock, WindowAndToneShapes) {
  GeneratorParams hann = Window(4, 150);
  EXPECT_EQ(GenRig("Hann", {.record = &hann}).Steps(12), Repeat({0, 75, 150, 75}, 12));
  GeneratorParams w = Window(4, 100);
  EXPECT_EQ(GenRig("Hamming", {.record = &w}).Steps(8), Repeat({8, 54, 100, 54}, 8));
  EXPECT_EQ(GenRig("BlackmanStd", {.record = &w}).Steps(8), Repeat({0, 34, 100, 34}, 8));
  GeneratorParams tri = Window(5, 100);
  const auto triangle = Repeat({0, 40, 80, 80, 40}, 10);
  EXPECT_EQ(GenRig("Bartlett", {.record = &tri}).Steps(10), triangle);
  EXPECT_EQ(GenRig("Triangle", {.record = &tri}).Steps(10), triangle);

  // Kaiser only through All_in_One: its own length and amplitude, shared Alpha.
  GeneratorParams kaiser = Defaults();
  kaiser.Kind = 10;
  kaiser.KaiserLen = 4;
  kaiser.KaiserAmp = 2;
  kaiser.Alpha = 2;
  EXPECT_EQ(GenRig("All_in_One", {.record = &kaiser}).Steps(4), (std::vector<int32_t>{0, 5, 2, 5}));

  GeneratorParams tone = Defaults();
  tone.ToneRelFreq = 0.25;
  tone.TonePhase = 90;
  EXPECT_EQ(GenRig("Tone", {.record = &tone}).Steps(5), (std::vector<int32_t>{10, 0, -10, 0, 10}));
}

TEST(GeneratorBlock, OptAlphaFollowsWindowLength) {
  auto opt = [](int64_t len, int n) {
    GeneratorParams p = Window(len, 1000);
    return GenRig("BlackmanOpt", {.record = &p}).Steps(n);
  };
  EXPECT_EQ(opt(3, 6), Repeat({0, 0, 0}, 6));                 // alpha -1
  EXPECT_EQ(opt(4, 8), Repeat({0, 500, 1000, 500}, 8));       // alpha 0, not -1
  EXPECT_EQ(opt(8, 3), (std::vector<int32_t>{0, 146, 500}));  // alpha 0
  EXPECT_EQ(opt(2, 4), Repeat({0, 1000}, 4));                 // alpha overflows, clamped
  EXPECT_EQ(opt(1, 3), Repeat({0}, 3));
}

TEST(GeneratorBlock, AllInOneFollowsStoredKind) {
  GenRig all("All_in_One"), mod("ModSine");
  EXPECT_EQ(all.Steps(300), mod.Steps(300));

  GeneratorParams hann = Window(4, 150);
  hann.Kind = 12;
  EXPECT_EQ(GenRig("All_in_One", {.record = &hann}).Steps(8), Repeat({0, 75, 150, 75}, 8));

  for (int32_t kind : {16, 17, 99, 256, -3}) {
    GeneratorParams p = Defaults();
    p.Kind = kind;
    GenRig rig("All_in_One", {.record = &p});
    const auto values = rig.Steps(10002);
    EXPECT_EQ(std::vector<int32_t>(values.begin(), values.end() - 1), std::vector<int32_t>(10001, -1)) << kind;
    EXPECT_EQ(values.back(), 0) << kind;
  }
}

TEST(GeneratorBlock, ModSineBurstsRepeatOrStop) {
  const double omega = static_cast<double>(2 * 3.141592653589793238462643383279502884L / 10);
  auto expected = [&](int i, int burst) {
    return static_cast<int32_t>(std::nearbyint(100 * std::sin(omega * static_cast<long double>(i)) *
                                               std::exp(-static_cast<long double>(burst) / 10)));
  };
  GenRig repeating("ModSine");
  const auto values = repeating.Steps(10001);
  for (int i = 0; i < 10001; ++i) ASSERT_EQ(values[i], expected(i, i % 101)) << i;

  GeneratorParams single = Defaults();
  single.IsSingle = 1;
  GenRig once("ModSine", {.record = &single});
  const auto burst = once.Steps(10001);
  for (int i = 0; i < 101; ++i) ASSERT_EQ(burst[i], expected(i, i)) << i;
  EXPECT_EQ(std::vector<int32_t>(burst.begin() + 101, burst.end()), std::vector<int32_t>(9900, 0));
  once->LoadParameters();
  EXPECT_EQ(once.Steps(3), (std::vector<int32_t>{expected(0, 0), expected(1, 1), expected(2, 2)}));
}

TEST(GeneratorBlock, RandomKindsShareOneRecurrenceFromSeedZero) {
  Uniform u;
  EXPECT_EQ(u.Next(), static_cast<float>(1 / 4294967296.0));
  EXPECT_EQ(u.seed, 1u);
  u.Next();
  EXPECT_EQ(u.seed, 134775814u);
  u = Uniform{};

  GenRig random("Random");        // takes draws 1..10001
  GenRig pseudo("PseudoRandom");  // continues with 10002..20002
  int lowest = 0, highest = -100;
  for (int i = 0; i < 10001; ++i) {
    const int32_t v = random.Step();
    ASSERT_EQ(v, static_cast<int32_t>(std::nearbyint(u.Next() * -20.0L - 50))) << i;
    ASSERT_TRUE(v >= -70 && v <= -50) << v;
  }
  for (int i = 0; i < 10001; ++i) {
    const int32_t v = pseudo.Step();
    ASSERT_EQ(v, static_cast<int32_t>(std::nearbyint(u.Next() * 30.0L - 50))) << i;
    lowest = std::min(lowest, v);
    highest = std::max(highest, v);
  }
  EXPECT_EQ(lowest, -50);
  EXPECT_EQ(highest, -20);

  // A clocked generator draws on demand, after its own table fill.
  GenRig clocked("Random", {.clocked = true});
  for (int i = 0; i < 10001; ++i) u.Next();
  clocked.host.SetValue("Clk", "1");
  clocked->InputChanged();
  EXPECT_EQ(DecodeValueText(0, clocked.Text()), static_cast<int32_t>(std::nearbyint(u.Next() * -20.0L - 50)));
}

TEST(GeneratorBlock, GaussianUsesThePolarDraw) {
  Uniform u;
  GenRig gauss("Gaussian");
  for (int i = 0; i < 10001; ++i) {
    float a, s;
    do {
      a = 2.0f * u.Next() - 1.0f;
      const float b = 2.0f * u.Next() - 1.0f;
      s = std::sqrt(a * a + b * b);
    } while (!(s < 1.0f && s > 0.0f));
    const long double z = a * std::sqrt(-2.0f * std::log(s) / s);
    const int32_t v = gauss.Step();
    ASSERT_EQ(v, static_cast<int32_t>(std::nearbyint((5.0L - 7.0L) + 2.0L * 8.0L * std::fabs(z)))) << i;
    ASSERT_GE(v, -2);
  }
}

TEST(GeneratorBlock, ClockedSamplesOnlyWhenClockIsExactlyOne) {
  GeneratorParams p = Window(4, 150);
  GenRig rig("Hann", {.clocked = true, .record = &p});
  rig.host.SetValue("Out", "x");
  rig->Start();  // clock low: nothing
  for (const char* text : {"0", "11", "1 ", " 1", "", "x"}) {
    rig.host.SetValue("Clk", text);
    rig->InputChanged();
    ASSERT_EQ(rig.Text(), "x") << '"' << text << '"';
  }
  rig.host.SetValue("Clk", "1");
  std::vector<int32_t> seen;
  rig->Start();  // a run that starts with the clock high emits one sample
  seen.push_back(DecodeValueText(0, rig.Text()));
  for (int i = 0; i < 4; ++i) {
    rig->InputChanged();
    seen.push_back(DecodeValueText(0, rig.Text()));
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{75, 150, 75, 0, 75}));  // index 10001 mod 4 first

  GenRig sine("Sine", {.clocked = true});
  sine.host.SetValue("Clk", "1");
  sine.host.SetTime(2500.4L);  // the model time, rounded
  sine->InputChanged();
  EXPECT_EQ(DecodeValueText(0, sine.Text()), 100);
  GenRig free("Sine");
  free.host.SetValue("Out", "x");
  free->InputChanged();
  EXPECT_EQ(free.Text(), "x");
}

TEST(GeneratorBlock, DegenerateRecordsNeverStopTheHost) {
  auto run = [](const char* type, GeneratorParams p, int n = 10) { return GenRig(type, {.record = &p}).Steps(n); };
  const std::vector<int32_t> zeros(10, 0);
  GeneratorParams p = Defaults();
  p.SinePeriod = 0;
  p.ModSinePeriod = 0;
  p.WindowLen = 0;
  p.BlackLen = 0;
  p.KaiserLen = 0;
  for (const char* type : {"Sine", "ModSine", "Hann", "Hamming", "Bartlett", "BlackmanOpt", "Blackman"})
    EXPECT_EQ(run(type, p), zeros) << type;
  p.Kind = 10;
  EXPECT_EQ(run("All_in_One", p), zeros);
  EXPECT_EQ(run("Hann", Window(-4, 150)), zeros);

  auto constant = [&](double value) {  // unsigned texts, so the most negative value reads back
    GeneratorParams c = Defaults();
    c.ConstantValue = value;
    return GenRig("Constant", {.signMode = 1, .record = &c}).Step();
  };
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(constant(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(constant(inf), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(constant(2147483647.4), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(constant(-2147483648.0), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(constant(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(constant(std::nan("")), 0);
  GeneratorParams big = Defaults();
  big.SineAmp = int64_t{1} << 40;
  EXPECT_EQ(run("Sine", big, 2)[1], static_cast<int32_t>(std::nearbyint(0x1p40L * std::sin(6.283185307L / 10000))));
  EXPECT_EQ(GenRig("Sine", {.record = &big}).Steps(2501)[2500], std::numeric_limits<int32_t>::max());

  GenRig narrow("Constant", {.width = 0});
  narrow.host.SetValue("Out", "x");
  narrow->TimeStep();
  EXPECT_EQ(narrow.Text(), "");
}

TEST(GeneratorBlock, StoredRecordOfWrongSizeGivesDefaults) {
  GeneratorParams p = Defaults();
  p.ConstantValue = 5;
  GenRig rig("Constant", {.record = &p});
  EXPECT_EQ(rig.Step(), 5);
  for (size_t size : {size_t{0}, size_t{295}, size_t{297}, size_t{552}}) {
    rig.host.SetParameter("Constant_parameters", std::vector<uint8_t>(size, 0x7f));
    rig->LoadParameters();
    EXPECT_EQ(rig.Step(), 123) << size;
  }
  rig.SetRecord("Constant", p);
  rig->LoadParameters();
  EXPECT_EQ(rig.Step(), 5);
  rig.host.RemoveParameter("Constant_parameters");
  rig->LoadParameters();
  EXPECT_EQ(rig.Step(), 123);
}

TEST(GeneratorBlock, FreeRunningAndClockedStepsDoNotAllocate) {
  GenRig sine("Sine"), clocked("Hann", {.clocked = true});
  clocked.host.SetValue("Clk", "1");
  sine->TimeStep();  // the host's text takes its size once
  clocked->InputChanged();
  const long before = AllocationCount();
  { GenRig probe("Sine"); }
  if (AllocationCount() == before) GTEST_SKIP() << "allocations in the plug-in are not visible here";
  const long start = AllocationCount();
  for (int i = 0; i < 20000; ++i) sine->TimeStep();  // table, then zeros
  for (int i = 0; i < 1000; ++i) clocked->InputChanged();
  EXPECT_EQ(AllocationCount() - start, 0);
}

TEST(GeneratorBlock, FuncStepsDoNotAllocate) {
  GeneratorParams p = Defaults();
  p.Formula.Set("sin(t)*100+ln(t+1)");
  GenRig func("Func", {.record = &p});
  func.host.SetTime(1000);
  func->TimeStep();  // warm-up: the evaluator's working texts take their size
  const long probe = AllocationCount();
  { GenRig other("Sine"); }
  if (AllocationCount() == probe) GTEST_SKIP() << "allocations in the plug-in are not visible here";
  long counted = 0;
  for (int step = 0; step < 1000; ++step) {
    func.host.SetTime(step);
    const long before = AllocationCount();
    func->TimeStep();
    counted += AllocationCount() - before;
  }
  EXPECT_EQ(counted, 0);
  EXPECT_EQ(func.Step(), static_cast<int32_t>(std::lround(std::sin(999.0) * 100 + std::log(1000.0))));
}

TEST(GeneratorBlock, FuncEvaluatesItsFormulaAtTheModelTime) {
  GeneratorParams p = Defaults();
  p.Formula.Set("2*t+1");
  GenRig func("Func", {.record = &p});
  for (int step = 0; step < 10005; step += 1000) {
    func.host.SetTime(step);
    ASSERT_EQ(func.Step(), 2 * step + 1) << step;  // no table, no end
  }
  EXPECT_TRUE(ShownMessages().empty());

  // A formula that fails its check: message 15 once per load, then -1 on every step.
  for (const char* type : {"Func", "All_in_One"}) {
    ShownMessages().clear();
    GeneratorParams bad = Defaults();
    bad.Kind = 0;
    bad.Formula.Set("ln(t)");  // fails at t = 0
    GenRig rig(type, {.record = &bad});
    ASSERT_EQ(ShownMessages().size(), 1u) << type;
    EXPECT_EQ(ShownMessages()[0].severity, 0);
    EXPECT_NE(ShownMessages()[0].text.find("ln(t)"), std::string::npos) << ShownMessages()[0].text;
    rig.host.SetTime(5);
    EXPECT_EQ(rig.Steps(3), (std::vector<int32_t>{-1, -1, -1})) << type;
    EXPECT_EQ(ShownMessages().size(), 1u);
    rig->LoadParameters();
    EXPECT_EQ(ShownMessages().size(), 2u);
  }
}
