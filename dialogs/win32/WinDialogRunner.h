// The dialog exports of the Windows build: the host's request read through
// its parameter interface, one native modal dialog, the result written back.
#pragma once

#include <cstdint>

#include "framework/interface/DialogModule.h"

struct IExtParameter;

int32_t RunWinDialog(RirDialogKind kind, IExtParameter* params, const RirDialogServices& services);
