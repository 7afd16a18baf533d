#include "DialogEntries2.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>
#include <cstring>

#include "DialogModule.h"
#include "UExtParameterTypes.h"
#include "UTransformOpt.h"
#include "UWaveParam.h"

namespace {

const char* Text(const char* text) { return text != nullptr ? text : ""; }

// Makes the host's window the owner of the dialog while it runs.
class OwnerLink {
 public:
  OwnerLink(QWidget& dialog, IExtParameter* params) : Dialog(dialog) {
    const int32_t owner = params->GetOwnerWindow();
    if (owner <= 0) return;
    Owner = QWindow::fromWinId(static_cast<WId>(owner));
    if (Owner == nullptr) return;
    dialog.winId();
    if (dialog.windowHandle() != nullptr) dialog.windowHandle()->setTransientParent(Owner);
  }
  ~OwnerLink() {
    if (Dialog.windowHandle() != nullptr) Dialog.windowHandle()->setTransientParent(nullptr);
    delete Owner;
  }
  OwnerLink(const OwnerLink&) = delete;
  OwnerLink& operator=(const OwnerLink&) = delete;

 private:
  QWidget& Dialog;
  QWindow* Owner = nullptr;
};

void FlushEvents() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

template <class Form>
int32_t RunForm(IExtParameter* params, const RirDialogServices& services, const char* okButton) {
  params->AddRef();
  {
    const DialogRequest request = ReadRequest(params);
    AcceptWhenShownIfAsked(okButton);
    Form form(HooksFromServices(services));
    form.Load(request);
    OwnerLink owner(form, params);
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
  return request;
}

void WriteResult(IExtParameter* params, const DialogResult& result) {
  if (!result.accepted) return;
  if (result.position) {
    const int32_t at[2] = {result.position->first, result.position->second};
    params->SetPosition(at, sizeof at);
  }
  if (!result.data.empty()) params->SetData(result.data.data(), static_cast<int32_t>(result.data.size()));
}

DialogHooks HooksFromServices(const RirDialogServices& services) {
  DialogHooks hooks;
  const RirDialogServices* s = &services;
  hooks.dialogCodeOf = [s](const std::string& name) {
    return s->dialogCodeOf != nullptr ? s->dialogCodeOf(name.c_str()) : 29;
  };
  hooks.groupOfCode = [s](int32_t code) { return s->groupOfCode != nullptr ? s->groupOfCode(code) : -1; };
  hooks.isFilterCode = [s](int32_t code) { return s->isFilterCode != nullptr && s->isFilterCode(code); };
  hooks.showInfo = [s](int32_t number) {
    if (s->showInfo != nullptr) s->showInfo(number);
  };
  hooks.showText = [](const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Rir_Eda"), QString::fromLocal8Bit(text.c_str()),
                    QMessageBox::Ok);
    box.exec();
  };
  // The plug-in took the host's language before it called the module.
  hooks.setLanguage = [](const std::string&) {};
  return hooks;
}

int32_t RunTransformDialog(IExtParameter* params, const RirDialogServices& services) {
  return RunForm<TTransformsOpt>(params, services, "Apply_Btn");
}

int32_t RunWaveDialog(IExtParameter* params, const RirDialogServices& services) {
  return RunForm<TWavesForm>(params, services, "OKBtn");
}
