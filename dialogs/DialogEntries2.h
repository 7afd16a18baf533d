// The transform and wave dialogs as the module's entry point runs them.
#pragma once

#include <cstdint>

#include "DialogHooks.h"

struct IExtParameter;
struct RirDialogServices;

// The request the host's parameter interface describes.
DialogRequest ReadRequest(IExtParameter* params);
// Hands an accepted result back: position first, then the record.
void WriteResult(IExtParameter* params, const DialogResult& result);
// Hooks over the plug-in's services; plain messages as message boxes.
DialogHooks HooksFromServices(const RirDialogServices& services);

int32_t RunTransformDialog(IExtParameter* params, const RirDialogServices& services);
int32_t RunWaveDialog(IExtParameter* params, const RirDialogServices& services);
