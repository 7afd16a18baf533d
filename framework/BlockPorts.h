// Port rules as data: the ports each block class binds, the variable kinds
// and widths each is meant for, and which of those rules the block refuses
// a variable for, in the order it checks them. The blocks bind through these
// tables (TBaseModel::BindPorts) and the simulator wires and describes
// ports from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

// Widest port a block accepts; its value texts are sized for the width once.
constexpr int32_t kMaxPortWidth = 255;

enum class BlockClass : uint8_t { Generator, SimpleTransform, Transform, FilterTransform, WaveLoad, WaveSave };

enum class PortDirection : uint8_t { In, Out };

// A set of variable kinds (vkLine ... vkDOTBus), one bit per kind.
struct KindSet {
  uint8_t bits;
  constexpr bool Has(uint16_t kind) const { return kind < 8 && ((bits >> kind) & 1u) != 0; }
};
constexpr KindSet kAnyKind{0xFF};
constexpr int kVariableKindCount = 6;
template <typename... Kinds>
constexpr KindSet KindsOf(Kinds... kinds) {
  return KindSet{static_cast<uint8_t>(((1u << kinds) | ...))};
}
constexpr bool operator==(KindSet a, KindSet b) { return a.bits == b.bits; }

// The widths a port takes: within min..max, and, when `follows` names a port
// of the same table, `factor` times that port's width.
struct WidthRule {
  static constexpr int32_t kNoLimit = std::numeric_limits<int32_t>::max();
  static constexpr int32_t kNoFloor = std::numeric_limits<int32_t>::min();
  int32_t min = kNoFloor;
  int32_t max = kNoLimit;
  int8_t follows = -1;
  uint8_t factor = 1;

  constexpr bool HasRange() const { return min != kNoFloor || max != kNoLimit; }
  constexpr bool InRange(int32_t width) const { return width >= min && width <= max; }
};
constexpr WidthRule kAnyWidth{};
constexpr WidthRule WidthRange(int32_t min, int32_t max) { return {min, max}; }
constexpr WidthRule WidthAtLeast(int32_t min) { return {min, WidthRule::kNoLimit}; }
constexpr WidthRule WidthAtMost(int32_t max) { return {WidthRule::kNoFloor, max}; }
template <typename Port>
constexpr WidthRule WidthOf(Port port, uint8_t factor = 1, int32_t max = WidthRule::kNoLimit) {
  return {WidthRule::kNoFloor, max, static_cast<int8_t>(port), factor};
}

// What a port reported at binding (missing though required, or an output
// without the writable flag) does to the block: it leaves the block invalid
// and ends the binding, or it only counts as absent.
enum class BindFault : uint8_t { Invalid, Absent };

// A port as its block binds it. Outputs demand the writable flag.
struct PortSpec {
  const char* name;
  PortDirection direction;
  bool required;  // a missing port is reported
  BindFault fault;
  KindSet kinds;      // the kinds the port is meant for
  WidthRule width;    // the widths the port is meant for
  const char* brief;  // what it carries, in a few words ("" for nothing more)
  const char* meaning;
};

// One rule of one port that the block refuses a variable for: its kind
// (code 2), its width as a multiple of another port's, or its width range
// (both code 3). A check of an absent port passes.
enum class PortRule : uint8_t { Kind, Follows, Range };
struct PortCheck {
  uint8_t port;
  PortRule rule;
};

// A block's ports in binding order and its checks in checking order. The
// host should keep to every rule; the block refuses only the checked ones.
struct PortTable {
  std::span<const PortSpec> ports;
  std::span<const PortCheck> checks;
};

// Port names by position in their class's table.
enum class GeneratorPort : uint8_t { Out, Clk };
enum class SimplePort : uint8_t { DIn, DOut, D2In };
enum class BufferPort : uint8_t { DIn, W, R, DReOut, IBusy, DImOut, DSOut };
enum class FilterPort : uint8_t { DSrc, DOut, DDes };
enum class WavePort : uint8_t { C1, Test, Clk, C2, isMono };
constexpr size_t kMaxBlockPorts = 7;

// The ports a block of this class binds for this catalogue code (filters:
// "DDes" only for the codes that adapt towards it) or any code (the others).
PortTable BlockPorts(BlockClass c, int32_t code = -1);

// True when the block refuses a variable of another kind on this port.
bool ChecksKind(const PortTable& table, size_t port);
