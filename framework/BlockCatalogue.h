// The generator kind table, the transform catalogue and their lookups.
#pragma once

#include <cstdint>
#include <string_view>

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

// Transform catalogue: position 1..60 is the catalogue code.
constexpr int kCatalogueSize = 60;
// Name of a catalogue code, "" outside 1..60.
const char* CatalogueName(int32_t code);

// Group numbers.
enum TransformGroup : int32_t {
  tgArithmetic = 2,
  tgConjugation = 3,
  tgConvolution = 4,
  tgCorrelation = 5,
  tgSampling = 6,
  tgFouriers = 7,
  tgFilters = 8,
  tgWindowing = 9,
  tgSpectrals = 10,
};

// Lookups match whole texts exactly. Unknown names show message 22 and give -1.
int32_t GeneratorKindOf(std::string_view name);
int32_t CatalogueCodeOf(std::string_view name);
int32_t DialogCodeOf(std::string_view name);
int32_t GroupOfCode(int32_t code);
bool IsFilterCode(int32_t code);
// Help topic of a generator kind, "" outside the table.
const char* GeneratorHelpTopic(int32_t kind);
