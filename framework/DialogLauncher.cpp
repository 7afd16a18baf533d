#include "DialogLauncher.h"

// The dialogs are not part of this build yet: the exports answer and show nothing.
void OpenParameterDialog(DialogKind, IExtParameter*) {}
