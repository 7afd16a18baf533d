#include "DialogServices.h"

#include <cstring>

#include "framework/BlockCatalogue.h"
#include "framework/Errors.h"
#include "generators/GeneratorWaveforms.h"
#include "numeric/CountedText.h"
#include "numeric/ParameterRecords.h"
#include "numeric/SupportRoutines.h"

namespace {

void ServiceShowError(int32_t number, const char* arg) { ShowLibError(number, Language, arg != nullptr ? arg : ""); }
void ServiceShowInfo(int32_t number) { ShowLibInfo(number, Language); }
int32_t ServiceKindOf(const char* name) { return GeneratorKindOf(name != nullptr ? name : ""); }
const char* ServiceHelpTopic(int32_t kind) { return GeneratorHelpTopic(kind); }

void ServiceDefaults(void* record) {
  static_assert(sizeof(GeneratorParams) == 296);
  const GeneratorParams defaults = DefaultGeneratorParams();
  std::memcpy(record, &defaults, sizeof defaults);
}

bool ServiceCheckFormula(const char* formula) {
  CountedText<kRecordTextLength> text{};
  text.Set(formula != nullptr ? formula : "");
  return CheckFormula(text, kRecordTextLength);
}

void ServicePreview(int32_t kind, const void* record, int32_t count, int64_t* out) {
  GeneratorParams params;
  std::memcpy(&params, record, sizeof params);
  GeneratorState state{};
  PrepareGenerator(kind, params, state);
  for (int32_t t = 0; t < count; ++t) out[t] = RoundToInt64(GeneratorSample(kind, t, params, state));
}

int32_t ServiceDialogCodeOf(const char* name) { return DialogCodeOf(name != nullptr ? name : ""); }
int32_t ServiceGroupOfCode(int32_t code) { return GroupOfCode(code); }
bool ServiceIsFilterCode(int32_t code) { return IsFilterCode(code); }

}  // namespace

const RirDialogServices& DialogServices() {
  static const RirDialogServices services = [] {
    RirDialogServices s{};
    s.size = sizeof s;
    s.showError = ServiceShowError;
    s.showInfo = ServiceShowInfo;
    s.generatorKindOf = ServiceKindOf;
    s.generatorHelpTopic = ServiceHelpTopic;
    s.generatorDefaults = ServiceDefaults;
    s.checkFormula = ServiceCheckFormula;
    s.dialogCodeOf = ServiceDialogCodeOf;
    s.groupOfCode = ServiceGroupOfCode;
    s.isFilterCode = ServiceIsFilterCode;
    s.generatorPreview = ServicePreview;
    return s;
  }();
  return services;
}
