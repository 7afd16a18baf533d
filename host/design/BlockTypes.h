// Every block type the plug-in exports, with its ports and the record it
// keeps, read from the plug-in's own catalogue table (design checks, "blocks").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/BlockCatalogue.h"

struct RecordLayout;

// A port as the catalogue describes it.
using PortInfo = PortSpec;

struct BlockType {
  std::string exportName;  // "Sine_Init"
  std::string typeName;    // what the block is built with ("Sine", "Hann trans")
  BlockClass blockClass;
  const BlockRow* row;  // the catalogue row
};

const std::vector<BlockType>& AllBlockTypes();
const BlockType* FindBlockType(std::string_view exportName);
// The ports of any type of the class: a port is required when every type of
// the class requires it.
const std::vector<PortInfo>& PortsOf(BlockClass c);
const PortInfo* FindPort(BlockClass c, std::string_view port);
// The ports of one type, in binding order.
std::span<const PortSpec> PortsOfType(const BlockType& type);
const RecordLayout& RecordOf(BlockClass c);
const char* ClassName(BlockClass c);
// True when blocks of this type read the record field.
bool TypeReadsField(const BlockType& type, std::string_view field);
// True when blocks of some type of the class read it.
bool ClassReadsField(BlockClass c, std::string_view field);
// True when a block of this type cannot do without the port.
bool TypeRequiresPort(const BlockType& type, std::string_view port);

// Edit distance ignoring letter case: what a typo costs.
size_t TypoDistance(std::string_view a, std::string_view b);
// The block type a mistyped name most likely means (a slip of case, up to
// two edits, or a missing "_Init"), nullptr when none is close.
const BlockType* NearestBlockType(std::string_view name);
