// Opens a parameter dialog for the dialog exports. The implementation sits
// beside the dialog module, in dialogs/launcher/ (the Windows build has its own).
#pragma once

#include "interface/IntTypes.h"
#include "interface/DialogModule.h"

// Shows the dialog modally; shows a library message and returns when it
// cannot be shown. Never aborts the host.
void OpenParameterDialog(RirDialogKind kind, IExtParameter* params);
