// The block catalogue: one row per init export with everything the blocks,
// the dialogs and the simulator know about a block type (class, type name,
// codes, ports, the record fields it reads), and the lookups built on it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "BlockPorts.h"
#include "CatalogueCodes.h"
#include "RecordLimits.h"

// Generator kinds in table order; the kind equals the row.
enum GeneratorKind : int32_t {
  gkFunc = 0,
  gkSine,
  gkModSine,
  gkRandom,
  gkConstant,
  gkTone,
  gkTriangle,
  gkPseudoRandom,
  gkGaussian,
  gkBlackman,
  gkKaiser,
  gkBartlett,
  gkHann,
  gkHamming,
  gkBlackmanStd,
  gkBlackmanOpt,
  gkAllInOne,
};
constexpr int kGeneratorKindCount = 17;

struct GeneratorKindRow {
  const char* typeName;
  const char* helpTopic;
};
// Row k holds kind k.
extern const GeneratorKindRow kGeneratorKinds[kGeneratorKindCount];

// Name of a catalogue code, "" outside 1..60.
const char* CatalogueName(int32_t code);

// Lookups match whole texts exactly. Unknown names show message 22 and give -1.
int32_t GeneratorKindOf(std::string_view name);
int32_t CatalogueCodeOf(std::string_view name);
// The same lookup without the message.
int32_t FindCatalogueCode(std::string_view name);
int32_t DialogCodeOf(std::string_view name);
int32_t GroupOfCode(int32_t code);
bool IsFilterCode(int32_t code);
// Help topic of a generator kind, "" outside the table.
const char* GeneratorHelpTopic(int32_t kind);

// Family predicates over catalogue codes. False outside the catalogue.
bool IsElementWiseCode(int32_t code);      // performed by TSimpleTransform
bool IsBufferCode(int32_t code);           // performed by TTransform
bool IsFilterOperationCode(int32_t code);  // one of the eight filters
bool UsesDesiredInput(int32_t code);       // the filter adapts towards "DDes"

// One row per init export, in export-list order.
struct BlockRow {
  int32_t ordinal;
  const char* exportName;  // "Sine_Init"
  BlockClass blockClass;
  const char* className;                // "TGenerator"
  const char* typeName;                 // what the block is built with ("Sine", "Hann trans", "Load Wave")
  int32_t generatorKind;                // -1 for other classes and unknown names
  int32_t catalogueCode;                // -1 for generators and wave blocks
  int32_t dialogCode;                   // -1 for generators and wave blocks
  int32_t group;                        // group number, -1 when none
  std::span<const PortSpec> ports;      // in binding order
  std::span<const char* const> fields;  // record fields the type reads
  const char* description;              // one line, for people
};

std::span<const BlockRow> BlockTable();
const BlockRow* FindBlockRow(std::string_view exportName);
