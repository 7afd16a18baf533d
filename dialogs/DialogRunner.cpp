#include "DialogRunner.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstring>

#include "DialogChrome.h"
#include "framework/interface/UExtParameterTypes.h"
#include "UGenersForm.h"
#include "UTransformOpt.h"
#include "UWaveParam.h"
#include "numeric/ParameterRecords.h"

namespace {

const char* Text(const char* text) { return text != nullptr ? text : ""; }

void FlushEvents() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

template <class Form>
int32_t RunForm(IExtParameter* params, const RirDialogServices& services, const char* okButton) {
  params->AddRef();
  {
    DialogRequest request;
    request.typeName = Text(params->GetBlockTypeName());
    AcceptWhenShownIfAsked(okButton);
    Form form(HooksFromServices(services, params));
    form.LoadType(request.typeName);
    ReadSettings(params, request);
    form.LoadSettings(request);
    OwnerLink owner(form, params->GetOwnerWindow());
    form.exec();
    const DialogResult result = form.Store();
    if (result.accepted) WriteResult(params, result);
  }
  params->Release();
  FlushEvents();
  return rdsShown;
}

}  // namespace

DialogRequest ReadRequest(IExtParameter* params) {
  DialogRequest request;
  request.typeName = Text(params->GetBlockTypeName());
  ReadSettings(params, request);
  return request;
}

void ReadSettings(IExtParameter* params, DialogRequest& request) {
  request.language = Text(params->GetLanguage());
  request.directory = Text(params->GetDirectory());
  if (params->GetPositionSize() == 8 && params->GetPosition() != nullptr) {
    int32_t at[2];
    std::memcpy(at, params->GetPosition(), sizeof at);
    request.position = std::make_pair(at[0], at[1]);
  }
  const int32_t size = params->GetDataSize();
  const void* data = params->GetData();
  if (size > 0 && size <= 65536 && data != nullptr) {
    request.data.resize(static_cast<size_t>(size));
    std::memcpy(request.data.data(), data, request.data.size());
  }
}

void WriteResult(IExtParameter* params, const DialogResult& result) {
  if (!result.accepted) return;
  if (result.position) {
    const int32_t at[2] = {result.position->first, result.position->second};
    params->SetPosition(at, sizeof at);
  }
  if (!result.data.empty()) params->SetData(result.data.data(), static_cast<int32_t>(result.data.size()));
}

DialogHooks HooksFromServices(const RirDialogServices& services, IExtParameter* params) {
  DialogHooks hooks;
  const RirDialogServices s = services;
  hooks.dialogCodeOf = [s](const std::string& name) {
    return s.dialogCodeOf != nullptr ? s.dialogCodeOf(name.c_str()) : 29;
  };
  hooks.groupOfCode = [s](int32_t code) { return s.groupOfCode != nullptr ? s.groupOfCode(code) : -1; };
  hooks.isFilterCode = [s](int32_t code) { return s.isFilterCode != nullptr && s.isFilterCode(code); };
  hooks.showInfo = [s](int32_t number) {
    if (s.showInfo != nullptr) s.showInfo(number);
  };
  hooks.showText = [](const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Rir_Eda"), QString::fromLocal8Bit(text.c_str()),
                    QMessageBox::Ok);
    box.exec();
  };
  // The plug-in took the host's language before it called the module.
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

int32_t RunDialog(RirDialogKind kind, IExtParameter* params, const RirDialogServices& services) {
  switch (kind) {
    case rdkGenerator:
      return RunForm<TGenersForm>(params, services, "OKBtn");
    case rdkTransform:
      return RunForm<TTransformsOpt>(params, services, "Apply_Btn");
    case rdkWave:
      return RunForm<TWavesForm>(params, services, "OKBtn");
  }
  return rdsNotAvailable;
}
