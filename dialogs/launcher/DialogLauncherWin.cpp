// The dialog exports of the Windows build: the parameter dialogs are a Qt
// module that this build does not carry, so each export says so once and
// leaves the host's record and position untouched.
#include "framework/DialogLauncher.h"

#include "framework/Errors.h"
#include "framework/interface/UExtParameterTypes.h"

void OpenParameterDialog(RirDialogKind, IExtParameter* params) {
  if (params != nullptr) {
    const char* language = params->GetLanguage();
    Language = language != nullptr ? language : "";
  }
  PresentMessage(msInfo, SelectLanguage("%eng%The parameter dialogs are not part of this Windows build of Rir_Eda; "
                                        "the block's parameters are unchanged."
                                        "%rus%Диалоги параметров не входят в эту сборку Rir_Eda для Windows; "
                                        "параметры блока не изменены."));
}
