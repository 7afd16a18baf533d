// The numbers of the transform catalogue, named: catalogue codes (positions
// of the catalogue texts), group numbers and the dialog numbering built on
// them. Header only and free of other includes, so the dialog module can use
// it without linking the block library.
#pragma once

#include <cstdint>

// Catalogue code: the 1-based position of a transform's text in the catalogue.
enum CatalogueCode : int32_t {
  ccNone = -1,
  ccEToThePower = 1,
  ccNaturalLog = 2,
  ccAnyFunc = 3,
  ccBitReversed = 4,
  ccBlackmanTrans = 5,
  ccKaiserTrans = 6,
  ccBartlettTrans = 7,
  ccHannTrans = 8,
  ccHammingTrans = 9,
  ccBlackmanStdTrans = 10,
  ccBlackmanOptTrans = 11,
  ccHighLevelFir = 12,
  ccLowLevelFir = 13,
  ccHighLevelIir = 14,
  ccLowLevelIir = 15,
  ccHighLevelLms = 16,
  ccHighLevelLmsDes = 17,
  ccLowLevelLms = 18,
  ccLowLevelLmsNa = 19,
  ccUpSample = 20,
  ccDownSample = 21,
  ccAutoCorrelation = 22,
  ccCrossCorrelation = 23,
  ccSimpleConjugation = 24,
  ccFlipConjugation = 25,
  ccExtendedConjugation = 26,
  ccOneDimConvolution = 27,
  ccTwoDimConvolution = 28,
  ccFilter2D = 29,
  ccAbsoluteValue = 30,
  ccSquare = 31,
  ccSquareRoot = 32,
  ccThresh = 33,
  ccInverseThresh = 34,
  ccAdditionSubstraction = 35,
  ccMultiplyDivision = 36,
  // 37, 38 and 39 are empty texts.
  ccDiscreteFourier = 40,
  ccFastFourier = 41,
  ccFftRcPack = 42,
  ccFftCcsRcPack = 43,
  ccFftRealSignal = 44,
  ccFftCcsSignal = 45,
  ccGoertzelDft = 46,
  ccForwardFft = 47,
  ccInverseFft = 48,
  // 49 is an empty text.
  ccForwardUserTrans = 50,
  ccInverseUserTrans = 51,
  ccArithmeticGroup = 52,
  ccConjugationGroup = 53,
  ccConvolutionGroup = 54,
  ccCorrelationGroup = 55,
  ccSamplingGroup = 56,
  ccFouriersGroup = 57,
  ccSpectralsGroup = 58,
  ccFiltersGroup = 59,
  ccWindowingGroup = 60,
};
constexpr int kCatalogueSize = 60;

// Group numbers.
enum TransformGroup : int32_t {
  tgNone = -1,
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

// Dialog code: a group number (2..10) for a whole group, or a single
// operation's catalogue code moved past the group numbers.
constexpr int32_t kDialogCodeOffset = 30;
constexpr int32_t DialogCodeOfCatalogueCode(int32_t code) { return code + kDialogCodeOffset; }
constexpr int32_t CatalogueCodeOfDialogCode(int32_t dialogCode) { return dialogCode - kDialogCodeOffset; }
// Dialog codes up to 20 name a whole group.
constexpr bool IsGroupDialogCode(int32_t dialogCode) { return dialogCode <= 20; }
