#include "DialogRunner.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "DialogChrome.h"
#include "framework/interface/UExtParameterTypes.h"
#include "UGenersForm.h"
#include "UTransformOpt.h"
#include "UWaveParam.h"
#include "dialogs/logic/ServiceHooks.h"

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

DialogHooks HooksFromServices(const RirDialogServices& services, IExtParameter* params) {
  return HooksFromServices(services, params, [](const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Rir_Eda"), QString::fromLocal8Bit(text.c_str()),
                    QMessageBox::Ok);
    box.exec();
  });
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
