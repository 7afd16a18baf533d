#include "ServiceHooks.h"

#include "framework/interface/UExtParameterTypes.h"
#include "numeric/ParameterRecords.h"

namespace {
const char* Text(const char* text) { return text != nullptr ? text : ""; }
}  // namespace

DialogHooks HooksFromServices(const RirDialogServices& services, IExtParameter* params,
                              std::function<void(const std::string&)> showText) {
  DialogHooks hooks;
  const RirDialogServices s = services;
  hooks.dialogCodeOf = [s](const std::string& name) {
    return s.dialogCodeOf != nullptr ? s.dialogCodeOf(name.c_str()) : kRirUnknownDialogCode;
  };
  hooks.groupOfCode = [s](int32_t code) { return s.groupOfCode != nullptr ? s.groupOfCode(code) : -1; };
  hooks.isFilterCode = [s](int32_t code) { return s.isFilterCode != nullptr && s.isFilterCode(code); };
  hooks.showInfo = [s](int32_t number) {
    if (s.showInfo != nullptr) s.showInfo(number);
  };
  hooks.showText = std::move(showText);
  // The plug-in took the host's language before it called the dialogs.
  hooks.setLanguage = [](const std::string&) {};
  // A service the plug-in does not offer stays an empty hook.
  if (s.showError != nullptr)
    hooks.showError = [s](int32_t number, const std::string& arg) { s.showError(number, arg.c_str()); };
  hooks.generatorKindOf = [s](const std::string& name) {
    return s.generatorKindOf != nullptr ? s.generatorKindOf(name.c_str()) : -1;
  };
  if (s.generatorHelpTopic != nullptr) {
    hooks.generatorHelpTopic = [s](int32_t kind) { return std::string(Text(s.generatorHelpTopic(kind))); };
  }
  if (s.generatorDefaults != nullptr) hooks.generatorDefaults = [s](GeneratorParams& r) { s.generatorDefaults(&r); };
  if (s.checkFormula != nullptr)
    hooks.checkFormula = [s](const std::string& formula) { return s.checkFormula(formula.c_str()); };
  if (s.generatorPreview != nullptr) {
    hooks.generatorPreview = [s](int32_t kind, const GeneratorParams& r, int32_t count, int64_t* out) {
      s.generatorPreview(kind, &r, count, out);
    };
  }
  if (params != nullptr) hooks.showHelp = [params](const std::string& topic) { params->ShowHelp(topic.c_str()); };
  return hooks;
}
