// The dialog exports of the Windows build: native dialogs in this DLL over
// the same services and dialog logic the Qt module uses.
#include "framework/DialogLauncher.h"

#include "DialogServices.h"
#include "dialogs/win32/WinDialogRunner.h"
#include "framework/Errors.h"
#include "framework/interface/UExtParameterTypes.h"

void OpenParameterDialog(RirDialogKind kind, IExtParameter* params) {
  if (params == nullptr) return;
  const char* language = params->GetLanguage();
  Language = language != nullptr ? language : "";
  if (RunWinDialog(kind, params, DialogServices()) == rdsNotAvailable) ShowLibError(msgCantFindFunction, Language);
}
