#include "PortRules.h"

namespace {

std::string RangeText(const WidthRule& w) {
  const bool floor = w.min != WidthRule::kNoFloor, limit = w.max != WidthRule::kNoLimit;
  if (floor && limit)
    return w.min == w.max ? std::to_string(w.min) : std::to_string(w.min) + ".." + std::to_string(w.max);
  if (limit) return "at most " + std::to_string(w.max);
  return floor ? "at least " + std::to_string(w.min) : "";
}

bool Followed(const PortSpec& port, std::span<const PortSpec> table) {
  for (const PortSpec& q : table) {
    const int8_t of = q.width.follows;
    if (of >= 0 && static_cast<size_t>(of) < table.size() && std::string_view(table[of].name) == port.name) return true;
  }
  return false;
}

const char* FollowedName(const PortSpec& port, std::span<const PortSpec> table) {
  const int8_t of = port.width.follows;
  return of >= 0 && static_cast<size_t>(of) < table.size() ? table[of].name : "";
}

std::string Times(uint8_t factor) {
  return factor == 1 ? "" : factor == 2 ? "twice " : std::to_string(factor) + " times ";
}

}  // namespace

KindSet CheckedKinds(BlockClass c, std::string_view port) {
  const PortTable table = BlockPorts(c);
  for (size_t i = 0; i < table.ports.size(); ++i)
    if (port == table.ports[i].name && ChecksKind(table, i)) return table.ports[i].kinds;
  return kAnyKind;
}

const char* KindName(uint16_t kind) {
  static const char* const kNames[kVariableKindCount] = {"Line", "DOT", "Clk", "DOTClk", "Bus", "DOTBus"};
  return kind < kVariableKindCount ? kNames[kind] : "unknown";
}

std::string KindsText(KindSet kinds) {
  if (kinds == kAnyKind) return "any";
  std::string text;
  for (uint16_t k = 0; k < kVariableKindCount; ++k)
    if (kinds.Has(k)) text += (text.empty() ? "" : " or ") + std::string(KindName(k));
  return text;
}

std::string WidthText(const PortSpec& port, std::span<const PortSpec> table) {
  const std::string range = RangeText(port.width);
  if (port.width.follows >= 0) {
    const std::string w = (port.width.factor == 1 ? "" : std::to_string(port.width.factor)) + "w";
    return range.empty() ? w : w + " (" + range + ")";
  }
  if (Followed(port, table)) return range.empty() ? "w" : range + " (w)";
  return range.empty() ? "any" : range;
}

std::string PortNote(const PortSpec& port, std::span<const PortSpec> table) {
  std::string note = port.kinds == kAnyKind ? "any kind" : KindsText(port.kinds);
  if (const std::string width = WidthText(port, table); width != "any") note += ", width " + width;
  if (port.brief[0] != '\0') note += ", " + std::string(port.brief);
  return note;
}

std::string CheckedWidthsText(const PortTable& table) {
  std::string text;
  for (const PortCheck& check : table.checks) {
    if (check.rule == PortRule::Kind || check.port >= table.ports.size()) continue;
    const PortSpec& port = table.ports[check.port];
    const std::string rule = check.rule == PortRule::Range
                                 ? RangeText(port.width) + " bits wide"
                                 : Times(port.width.factor) + "as wide as " + FollowedName(port, table.ports);
    text += (text.empty() ? "" : "; ") + std::string(port.name) + " " + rule;
  }
  return text;
}
