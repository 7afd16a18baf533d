// The dialogs as the module's entry point runs them over the host's
// parameter interface: the request read from it, the hooks over the
// plug-in's services, one modal run, the result written back on OK.
#pragma once

#include <cstdint>

#include "DialogHooks.h"
#include "framework/interface/DialogModule.h"

struct IExtParameter;

// The request the host's parameter interface describes.
DialogRequest ReadRequest(IExtParameter* params);
// All of it but the type name, read first on its own.
void ReadSettings(IExtParameter* params, DialogRequest& request);
// Hands an accepted result back: position first, then the record.
void WriteResult(IExtParameter* params, const DialogResult& result);
// Hooks over the plug-in's services (copied: the table may be a temporary)
// and the host's help; plain messages as message boxes.
DialogHooks HooksFromServices(const RirDialogServices& services, IExtParameter* params = nullptr);

// Runs the dialog of `kind` modally over the host's interface.
int32_t RunDialog(RirDialogKind kind, IExtParameter* params, const RirDialogServices& services);
