#include "FilterTrans.h"

#include <algorithm>
#include <string_view>

#include "../framework/BlockCatalogue.h"
#include "../framework/BlockFactories.h"
#include "../numeric/Init_NSPDLL.h"
#include "ResultRounding.h"

namespace {
enum LiveState : uint32_t {
  lsHighFir = 1u << 0,
  lsLowFirTaps = 1u << 1,
  lsLowFirDly = 1u << 2,
  lsHighIir = 1u << 3,
  lsLowIirTaps = 1u << 4,
  lsLowIirDly = 1u << 5,
  lsHighLmsDes = 1u << 6,
  lsHighLms = 1u << 7,
  lsLowLmsTaps = 1u << 8,
  lsLowLmsDly = 1u << 9,
};

}  // namespace

static_assert(TFilterTransform::kMaxTaps == kRecordMaxTaps, "the catalogue states the limits");

TFilterTransform::TFilterTransform(IPELMOR* host, const char* typeName) : TBaseModelExt(host, 0, kInputDriven) {
  Valid = false;
  HoldsLibrary = AcquireSignalLibrary(Host);
  if (!HoldsLibrary) return;
  // The name is looked up first: it decides whether "DDes" is bound.
  const int32_t code = FindCatalogueCode(typeName);
  uint32_t usable = 0;
  BindPorts(BlockPorts(BlockClass::FilterTransform, code), {&SrcHandle, &OutHandle, &DesHandle}, &usable);
  if ((usable & 3u) != 3u) return;
  Code = CatalogueCodeOf(typeName);
  IsGroup = Code == ccFiltersGroup;
  TypeName = typeName;
  // Without "DDes" the block is reported and still runs, adapting towards 0.
  HasDesired = (usable & 4u) != 0;
  if (Host->GetVariableKind(OutHandle) != vkBus) {
    Report(rcWrongKindOrFlags, OutHandle);
    Valid = false;
    return;
  }
  SignMode = GetIntParameter("SignValue", 0);
  Width = Host->GetVariableWidth(OutHandle);
  OutText.Resize(Width);
  Valid = true;
  LoadParameters();
}

TFilterTransform::~TFilterTransform() {
  if (HoldsLibrary) {
    ReleaseStates();
    ReleaseSignalLibrary();
  }
}

void RIR_STDCALL TFilterTransform::Done() {
  if (HoldsLibrary) {
    ReleaseStates();
    HoldsLibrary = false;
    ReleaseSignalLibrary();
  }
  TBaseModelExt::Done();
}

void TFilterTransform::ReleaseStates() {
  if (LiveStates & lsHighFir) NspTable.nspsFirFree(Area<NSPFirState>(offsetof(FilterParams, HighFirState)));
  if (LiveStates & lsLowFirDly) NspTable.nspsFirlFreeDlyl(Area<NSPFirDlyState>(offsetof(FilterParams, LowFirDlyState)));
  if (LiveStates & lsLowFirTaps) NspTable.nspsFirlFree(Area<NSPFirTapState>(offsetof(FilterParams, LowFirTapState)));
  if (LiveStates & lsHighIir) NspTable.nspsIirFree(Area<NSPIirState>(offsetof(FilterParams, HighIirState)));
  if (LiveStates & lsLowIirDly) NspTable.nspsIirlFreeDlyl(Area<NSPIirDlyState>(offsetof(FilterParams, LowIirDlyState)));
  if (LiveStates & lsLowIirTaps) NspTable.nspsIirlFree(Area<NSPIirTapState>(offsetof(FilterParams, LowIirTapState)));
  if (LiveStates & lsHighLmsDes) NspTable.nspsLmsFree(Area<NSPLmsState>(offsetof(FilterParams, HighLmsDesState)));
  if (LiveStates & lsHighLms) NspTable.nspsLmsFree(Area<NSPLmsState>(offsetof(FilterParams, HighLmsState)));
  if (LiveStates & lsLowLmsDly) NspTable.nspsLmslFreeDlyl(Area<NSPLmsDlyState>(offsetof(FilterParams, LowLmsDlyState)));
  if (LiveStates & lsLowLmsTaps) NspTable.nspsLmslFree(Area<NSPLmsTapState>(offsetof(FilterParams, LowLmsTapState)));
  LiveStates = 0;
}

void RIR_STDCALL TFilterTransform::LoadParameters() {
  if (!Valid || !HoldsLibrary) return;
  // The stored bytes replace the state areas: free what they held first.
  ReleaseStates();
  if (!GetRecordParameter(CatalogueName(Code), &Params, sizeof Params)) {
    Params = FilterParams{};
    DefaultFilterRecord(Params);
  }
  if (IsGroup) Code = Params.TransformCode;
  InitStates();
}

void TFilterTransform::InitStates() {
  // The coefficient lists hold kMaxTaps values: a larger count in a stored
  // record must not make the library read past them.
  const int32_t firCount = std::clamp(Params.FirTapsCount, 0, kMaxTaps);
  const int32_t iirCount = std::clamp(Params.IirTapsCount, 0, kMaxTaps);
  const int32_t lmsCount = std::clamp(Params.LmsTapsCount, 0, kMaxTaps);
  const float* firTaps = Area<const float>(offsetof(FilterParams, FirTaps));
  const float* firDelay = Area<const float>(offsetof(FilterParams, FirDelay));
  const float* iirTaps = Area<const float>(offsetof(FilterParams, IirTaps));
  const float* iirDelay = Area<const float>(offsetof(FilterParams, IirDelay));
  const float* lmsTaps = Area<const float>(offsetof(FilterParams, LmsTaps));
  const float* lmsDelay = Area<const float>(offsetof(FilterParams, LmsDelay));
  const int32_t iirOrder = Params.IirBiquad != 0 ? iirCount / 6 : (iirCount - 2) / 2;

  switch (Code) {
    case 12: {
      auto* state = Area<NSPFirState>(offsetof(FilterParams, HighFirState));
      if (Params.FirMultiRate != 0) {
        NspTable.nspsFirInitMr(firTaps, firCount, firDelay, Params.FirUpFactor, Params.FirUpPhase, Params.FirDownFactor,
                      Params.FirDownPhase, state);
      } else {
        NspTable.nspsFirInit(firTaps, firCount, firDelay, state);
      }
      LiveStates |= lsHighFir;
      break;
    }
    case 13: {
      auto* taps = Area<NSPFirTapState>(offsetof(FilterParams, LowFirTapState));
      auto* dly = Area<NSPFirDlyState>(offsetof(FilterParams, LowFirDlyState));
      if (Params.FirMultiRate != 0) {
        NspTable.nspsFirlInitMr(firTaps, firCount, Params.FirUpFactor, Params.FirUpPhase, Params.FirDownFactor,
                       Params.FirDownPhase, taps);
      } else {
        NspTable.nspsFirlInit(firTaps, firCount, taps);
      }
      NspTable.nspsFirlInitDlyl(taps, firDelay, dly);
      NspTable.nspsFirlSetDlyl(taps, firDelay, dly);
      LiveStates |= lsLowFirTaps | lsLowFirDly;
      break;
    }
    case 14: {
      auto* state = Area<NSPIirState>(offsetof(FilterParams, HighIirState));
      if (Params.IirBiquad != 0) {
        NspTable.nspsIirInitBq(1, iirTaps, iirOrder, state);
      } else {
        NspTable.nspsIirInit(1, iirTaps, iirOrder, state);
      }
      LiveStates |= lsHighIir;
      break;
    }
    case 15: {
      auto* taps = Area<NSPIirTapState>(offsetof(FilterParams, LowIirTapState));
      auto* dly = Area<NSPIirDlyState>(offsetof(FilterParams, LowIirDlyState));
      if (Params.IirBiquad != 0) {
        NspTable.nspsIirlInitBq(1, iirTaps, iirOrder, taps);
      } else {
        NspTable.nspsIirlInit(1, iirTaps, iirOrder, taps);
      }
      NspTable.nspsIirlInitDlyl(taps, iirDelay, dly);
      LiveStates |= lsLowIirTaps | lsLowIirDly;
      break;
    }
    case 16:
    case 17: {
      const bool des = Code == 17;
      auto* state = Area<NSPLmsState>(des ? offsetof(FilterParams, HighLmsDesState) : offsetof(FilterParams, HighLmsState));
      if (Params.LmsMultiRate == 1) {
        NspTable.nspsLmsInitMr(Params.LmsType, lmsTaps, lmsCount, lmsDelay, Params.LmsStep, Params.LmsLeak, Params.LmsErrDly,
                      Params.LmsDownFactor, Params.LmsDownPhase, state);
      } else {
        NspTable.nspsLmsInit(Params.LmsType, lmsTaps, lmsCount, lmsDelay, Params.LmsStep, Params.LmsLeak, Params.LmsErrDly,
                    state);
      }
      LiveStates |= des ? lsHighLmsDes : lsHighLms;
      Params.HighLmsError = 0.0;
      break;
    }
    case 18:
    case 19: {
      auto* taps = Area<NSPLmsTapState>(offsetof(FilterParams, LowLmsTapState));
      auto* dly = Area<NSPLmsDlyState>(offsetof(FilterParams, LowLmsDlyState));
      if (Params.LmsMultiRate == 1) {
        NspTable.nspsLmslInitMr(Params.LmsType, lmsTaps, lmsCount, Params.LmsStep, Params.LmsLeak, Params.LmsErrDly,
                       Params.LmsDownFactor, Params.LmsDownPhase, taps);
      } else {
        NspTable.nspsLmslInit(Params.LmsType, lmsTaps, lmsCount, Params.LmsStep, Params.LmsLeak, Params.LmsErrDly, taps);
      }
      NspTable.nspsLmslInitDlyl(taps, lmsDelay, Params.LmsAdaptive, dly);
      LiveStates |= lsLowLmsTaps | lsLowLmsDly;
      break;
    }
    default:
      break;
  }
}

void RIR_STDCALL TFilterTransform::InputChanged() {
  if (!Valid || !HoldsLibrary) return;
  const float x = static_cast<float>(DecodeValueText(SignMode, ReadValueText(SrcHandle)));
  const float d = HasDesired ? static_cast<float>(DecodeValueText(SignMode, ReadValueText(DesHandle))) : 0.0f;
  float r = 0.0f;
  switch (Code) {
    case 12:
      r = NspTable.nspsFir(Area<NSPFirState>(offsetof(FilterParams, HighFirState)), x);
      break;
    case 13:
      r = NspTable.nspsFirl(Area<NSPFirTapState>(offsetof(FilterParams, LowFirTapState)),
                   Area<NSPFirDlyState>(offsetof(FilterParams, LowFirDlyState)), x);
      break;
    case 14:
      r = NspTable.nspsIir(Area<NSPIirState>(offsetof(FilterParams, HighIirState)), x);
      break;
    case 15:
      r = NspTable.nspsIirl(Area<NSPIirTapState>(offsetof(FilterParams, LowIirTapState)),
                   Area<NSPIirDlyState>(offsetof(FilterParams, LowIirDlyState)), x);
      break;
    case 16:
      // Adapt with the error of the previous sample.
      r = NspTable.nspsLms(Area<NSPLmsState>(offsetof(FilterParams, HighLmsState)), x, static_cast<float>(Params.HighLmsError));
      Params.HighLmsError = d - r;
      break;
    case 17:
      r = NspTable.nspsLmsDes(Area<NSPLmsState>(offsetof(FilterParams, HighLmsDesState)), x, d);
      break;
    case 18:
      r = NspTable.nspsLmsl(Area<NSPLmsTapState>(offsetof(FilterParams, LowLmsTapState)),
                   Area<NSPLmsDlyState>(offsetof(FilterParams, LowLmsDlyState)), x,
                   static_cast<float>(Params.LowLmsError));
      Params.LowLmsError = d - r;
      break;
    case 19:
      r = NspTable.nspsLmslNa(Area<NSPLmsTapState>(offsetof(FilterParams, LowLmsTapState)),
                     Area<NSPLmsDlyState>(offsetof(FilterParams, LowLmsDlyState)), x);
      break;
    default:
      break;
  }
  WriteValueText(OutHandle, OutText.Encode(SignMode, RoundClamped(r)));
}

IModel** CreateFilterTransform(IPELMOR* host, const char* typeName) {
  return (new TFilterTransform(host, typeName))->SelfRefAddress();
}
