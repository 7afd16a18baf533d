// Every block type the plug-in exports, with its ports and the record it
// keeps: the one port table of the simulator (design checks, "blocks").
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct RecordLayout;

enum class BlockClass { Generator, SimpleTransform, Transform, FilterTransform, WaveLoad, WaveSave };

enum class PortDirection { In, Out };

struct PortInfo {
  const char* name;
  PortDirection direction;
  bool required;
  const char* note;  // kind and width the block expects
};

struct BlockType {
  std::string exportName;  // "Sine_Init"
  std::string typeName;    // what the block is built with ("Sine", "Hann trans")
  BlockClass blockClass;
};

const std::vector<BlockType>& AllBlockTypes();
const BlockType* FindBlockType(std::string_view exportName);
const std::vector<PortInfo>& PortsOf(BlockClass c);
const PortInfo* FindPort(BlockClass c, std::string_view port);
const RecordLayout& RecordOf(BlockClass c);
const char* ClassName(BlockClass c);
