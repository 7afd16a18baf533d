#include "WinDialogRunner.h"

#include <windows.h>

#include <exception>

#include "WinDialog.h"
#include "WinForms.h"
#include "WinText.h"
#include "framework/Errors.h"
#include "framework/interface/UExtParameterTypes.h"
#include "logic/HostRequest.h"
#include "logic/ServiceHooks.h"

namespace {

void ShowPlainText(const std::string& text) {
  // Plain messages carry record texts: the ANSI code page.
  MessageBoxW(GetActiveWindow(), WideFromAnsi(text).c_str(), L"Rir_Eda", MB_OK | MB_TASKMODAL);
}

// Through the library's presenter: a host's message handler sees it too.
void ShowFailure(const char* what) { PresentMessage(msError, "RIR Eda Err:" + SelectLanguage(what)); }

// Lets messages posted while the dialog ran (to windows now gone) drain.
void FlushMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int32_t RunWinDialog(RirDialogKind kind, IExtParameter* params, const RirDialogServices& services) {
  if (params == nullptr) return rdsNotAvailable;
  params->AddRef();
  int32_t status = rdsShown;
  try {
    DialogRequest request = ReadRequest(params);
    DialogHooks hooks = HooksFromServices(services, params, ShowPlainText);
    const HWND owner = WinDialog::OwnerFromHost(params->GetOwnerWindow());
    DialogResult result;
    switch (kind) {
      case rdkGenerator:
        result = RunWinGeneratorDialog(request, hooks, owner);
        break;
      case rdkTransform:
        result = RunWinTransformDialog(request, hooks, owner);
        break;
      case rdkWave:
        result = RunWinWaveDialog(request, hooks, owner);
        break;
      default:
        status = rdsNotAvailable;
        break;
    }
    if (result.accepted) WriteResult(params, result);
  } catch (const std::exception& e) {
    ShowFailure(e.what());
    status = rdsFailed;
  } catch (...) {
    ShowFailure("Unknown exception");
    status = rdsFailed;
  }
  params->Release();
  FlushMessages();
  return status;
}
