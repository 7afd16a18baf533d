#include "BlockPorts.h"

#include <initializer_list>
#include <string_view>

#include "BlockCatalogue.h"
#include "interface/IntTypes.h"

namespace {

constexpr PortDirection In = PortDirection::In;
constexpr PortDirection Out = PortDirection::Out;
constexpr bool Required = true;
constexpr bool Optional = false;
constexpr BindFault Invalid = BindFault::Invalid;
constexpr BindFault Absent = BindFault::Absent;
constexpr KindSet kLine = KindsOf(vkLine);
constexpr KindSet kBus = KindsOf(vkBus);
constexpr KindSet kClocks = KindsOf(vkClk, vkDOTClk);
constexpr WidthRule kOneBit = WidthRange(1, 1);
constexpr PortRule Kind = PortRule::Kind;
constexpr PortRule Follows = PortRule::Follows;
constexpr PortRule Range = PortRule::Range;

template <typename Port>
constexpr uint8_t At(Port p) {
  return static_cast<uint8_t>(p);
}

// Each table is indexed by its class's port names and fits BoundPorts.
template <size_t N>
constexpr bool NamedInOrder(const PortSpec (&ports)[N], std::initializer_list<std::string_view> names) {
  if (N > kMaxBlockPorts) return false;
  size_t i = 0;
  for (std::string_view name : names)
    if (i >= N || name != ports[i++].name) return false;
  return i == N;
}

// Every check names a port of its table and a rule that port has.
template <size_t N, size_t M>
constexpr bool ChecksFit(const PortSpec (&ports)[N], const PortCheck (&checks)[M]) {
  for (const PortCheck& c : checks) {
    if (c.port >= N) return false;
    const PortSpec& p = ports[c.port];
    const bool has = c.rule == PortRule::Kind    ? !(p.kinds == kAnyKind)
                     : c.rule == PortRule::Range ? p.width.HasRange()
                                                 : p.width.follows >= 0 && static_cast<size_t>(p.width.follows) < N;
    if (!has) return false;
  }
  return true;
}

using G = GeneratorPort;
constexpr PortSpec kGeneratorPorts[] = {
    {"Out", Out, Required, Invalid, KindsOf(vkLine, vkBus), WidthAtMost(kMaxPortWidth), "the sample", "the sample"},
    {"Clk", In, Optional, Invalid, kAnyKind, kAnyWidth, "when bound the block samples while it reads \"1\"",
     "when bound, the block samples while it reads \"1\""},
};
constexpr PortCheck kGeneratorChecks[] = {{At(G::Out), Kind}, {At(G::Out), Range}};
static_assert(NamedInOrder(kGeneratorPorts, {"Out", "Clk"}));
static_assert(ChecksFit(kGeneratorPorts, kGeneratorChecks));

using S = SimplePort;
constexpr PortSpec kSimplePorts[] = {
    {"DIn", In, Required, Invalid, kBus, kAnyWidth, "the input", "the input"},
    {"DOut", Out, Required, Invalid, kBus, WidthOf(S::DIn, 1, kMaxPortWidth), "the result", "the result"},
    {"D2In", In, Optional, Invalid, kBus, WidthOf(S::DIn), "second operand",
     "second operand of Addition/Substraction and Multiply/Division"},
};
// "DOut"'s own limit is checked last, after "D2In".
constexpr PortCheck kSimpleChecks[] = {
    {At(S::DOut), Kind}, {At(S::DOut), Follows}, {At(S::D2In), Kind}, {At(S::D2In), Follows}, {At(S::DOut), Range},
};
static_assert(NamedInOrder(kSimplePorts, {"DIn", "DOut", "D2In"}));
static_assert(ChecksFit(kSimplePorts, kSimpleChecks));

using B = BufferPort;
constexpr PortSpec kBufferPorts[] = {
    {"DIn", In, Required, Invalid, kBus, kAnyWidth, "the sample", "the sample"},
    {"W", In, Required, Invalid, kLine, kOneBit, "write strobe: emit the next result",
     "write strobe: emit the next result"},
    {"R", In, Required, Invalid, kLine, kOneBit, "read strobe: take the sample", "read strobe: take the sample"},
    // Each result is a pair: most transforms pair the computed value (DImOut)
    // with its position in the buffer (DReOut); Goertzel gives re and im.
    {"DReOut", Out, Required, Invalid, kBus, WidthAtMost(kMaxPortWidth), "the result's position (Goertzel: real part)",
     "real part of each result: its position in the buffer (bin, lag or index; windowed by a window transform), "
     "for Goertzel the real part of the DFT"},
    {"IBusy", Out, Optional, Invalid, kLine, kOneBit, "results pending", "results pending"},
    {"DImOut", Out, Optional, Invalid, kBus, WidthOf(B::DReOut), "the result's value (Goertzel: imaginary part)",
     "imaginary part of each result: the computed value (an FFT's power, a windowed sample), "
     "for Goertzel the imaginary part of the DFT"},
    {"DSOut", Out, Optional, Invalid, kBus, WidthOf(B::DReOut, 2), "DReOut^2 + DImOut^2",
     "DReOut^2 + DImOut^2 of each result (for Goertzel the DFT's power)"},
};
// Every kind first, then every width.
constexpr PortCheck kBufferChecks[] = {
    {At(B::DReOut), Kind},  {At(B::DImOut), Kind},    {At(B::DSOut), Kind},
    {At(B::DReOut), Range}, {At(B::DImOut), Follows}, {At(B::DSOut), Follows},
};
static_assert(NamedInOrder(kBufferPorts, {"DIn", "W", "R", "DReOut", "IBusy", "DImOut", "DSOut"}));
static_assert(ChecksFit(kBufferPorts, kBufferChecks));

// The filters that adapt towards a desired value bind all three; without
// "DDes" such a filter is reported and runs on, adapting towards 0.
using F = FilterPort;
constexpr PortSpec kFilterPorts[] = {
    {"DSrc", In, Required, Invalid, kBus, kAnyWidth, "the sample", "the sample"},
    {"DOut", Out, Required, Invalid, kBus, WidthAtMost(kMaxPortWidth), "the filtered sample", "the filtered sample"},
    {"DDes", In, Required, Absent, kBus, kAnyWidth, "desired value (LMS filters)",
     "desired value the LMS filter adapts towards"},
};
constexpr PortCheck kFilterChecks[] = {{At(F::DOut), Kind}, {At(F::DOut), Range}};
static_assert(NamedInOrder(kFilterPorts, {"DSrc", "DOut", "DDes"}));
static_assert(ChecksFit(kFilterPorts, kFilterChecks));

// A player's optional outputs without the writable flag are reported and
// count as absent; the block runs on without them.
using W = WavePort;
constexpr PortSpec kLoadPorts[] = {
    {"C1", Out, Required, Invalid, kBus, WidthRange(1, kMaxPortWidth), "first channel", "first channel"},
    {"Test", In, Optional, Invalid, kAnyKind, WidthAtLeast(4), "test-file number", "test-file number: Test/Test_N.wav"},
    {"Clk", In, Optional, Invalid, kClocks, kAnyWidth, "steps the block",
     "steps the block instead of the sample period"},
    {"C2", Out, Optional, Absent, kBus, WidthOf(W::C1), "second channel", "second channel"},
    {"isMono", Out, Optional, Absent, kLine, kOneBit, "1 for a mono file", "1 when the file has one channel"},
};
constexpr PortSpec kSavePorts[] = {
    {"C1", In, Required, Invalid, kBus, WidthRange(1, kMaxPortWidth), "the sample", "the sample"},
    {"Test", In, Optional, Invalid, kAnyKind, WidthAtLeast(4), "test-file number", "test-file number: Test/Test_N.wav"},
    {"Clk", In, Optional, Invalid, kClocks, kAnyWidth, "sampling clock", "sampling clock: a sample on each rise"},
    {"C2", In, Optional, Absent, kBus, WidthOf(W::C1), "unused", "unused"},
    {"isMono", In, Optional, Absent, kLine, kOneBit, "unused", "unused"},
};
// The clock's kind comes first; "Test"'s width last.
constexpr PortCheck kWaveChecks[] = {
    {At(W::Clk), Kind}, {At(W::C1), Kind},    {At(W::C2), Kind},    {At(W::isMono), Kind},
    {At(W::C1), Range}, {At(W::C2), Follows}, {At(W::Test), Range},
};
static_assert(NamedInOrder(kLoadPorts, {"C1", "Test", "Clk", "C2", "isMono"}));
static_assert(ChecksFit(kLoadPorts, kWaveChecks));
static_assert(NamedInOrder(kSavePorts, {"C1", "Test", "Clk", "C2", "isMono"}));
static_assert(ChecksFit(kSavePorts, kWaveChecks));

}  // namespace

PortTable BlockPorts(BlockClass c, int32_t code) {
  switch (c) {
    case BlockClass::Generator:
      return {kGeneratorPorts, kGeneratorChecks};
    case BlockClass::SimpleTransform:
      return {kSimplePorts, kSimpleChecks};
    case BlockClass::Transform:
      return {kBufferPorts, kBufferChecks};
    case BlockClass::FilterTransform:
      return {std::span<const PortSpec>(kFilterPorts).first(UsesDesiredInput(code) ? 3 : 2), kFilterChecks};
    case BlockClass::WaveLoad:
      return {kLoadPorts, kWaveChecks};
    case BlockClass::WaveSave:
      return {kSavePorts, kWaveChecks};
  }
  return {};
}

bool ChecksKind(const PortTable& table, size_t port) {
  for (const PortCheck& check : table.checks)
    if (check.port == port && check.rule == PortRule::Kind) return true;
  return false;
}
