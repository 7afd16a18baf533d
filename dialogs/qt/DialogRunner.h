// The dialogs as the module's entry point runs them over the host's
// parameter interface: the request read from it, the hooks over the
// plug-in's services, one modal run, the result written back on OK.
#pragma once

#include <cstdint>

#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/HostRequest.h"
#include "framework/interface/DialogModule.h"

struct IExtParameter;

// The plug-in's services as hooks, plain messages as Qt message boxes.
DialogHooks HooksFromServices(const RirDialogServices& services, IExtParameter* params = nullptr);

// Runs the dialog of `kind` modally over the host's interface.
int32_t RunDialog(RirDialogKind kind, IExtParameter* params, const RirDialogServices& services);
