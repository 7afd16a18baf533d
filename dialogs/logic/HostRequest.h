// The request a dialog reads through the host's parameter interface, and
// the result it hands back on OK.
#pragma once

#include "DialogHooks.h"

struct IExtParameter;

// The request the host's parameter interface describes.
DialogRequest ReadRequest(IExtParameter* params);
// All of it but the type name, read first on its own.
void ReadSettings(IExtParameter* params, DialogRequest& request);
// Hands an accepted result back: position first, then the record.
void WriteResult(IExtParameter* params, const DialogResult& result);
