// What the simulator makes of the plug-in's port tables: the kinds a block
// refuses others for, and the words the reference and the messages use for
// kinds and widths.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "framework/BlockPorts.h"

// The kinds a block of the class takes on the port: the port's kinds when
// the block checks them, any kind otherwise.
KindSet CheckedKinds(BlockClass c, std::string_view port);

const char* KindName(uint16_t kind);
// "any", "Bus", "Line or Bus".
std::string KindsText(KindSet kinds);
// "any", "1", "at least 4", "w" (the width other ports of `table` follow),
// "1..255 (w)", "2w", "w (at most 255)".
std::string WidthText(const PortSpec& port, std::span<const PortSpec> table);
// Kind, width and what the port carries in one line: "Bus, width 2w, DReOut^2 + DImOut^2".
std::string PortNote(const PortSpec& port, std::span<const PortSpec> table);
// The width rules the block checks, in its order: "DImOut as wide as DReOut; DSOut twice as wide as DReOut".
std::string CheckedWidthsText(const PortTable& table);
