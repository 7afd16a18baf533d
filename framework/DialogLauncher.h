// Opens a parameter dialog for the dialog exports.
#pragma once

#include "IntTypes.h"

enum class DialogKind { Generator, Transform, Wave };

// Shows the dialog modally; shows a library message and returns when it
// cannot be shown. Never aborts the host.
void OpenParameterDialog(DialogKind kind, IExtParameter* params);
