// The plug-in's service table as the dialogs' hooks, for every front end.
#pragma once

#include <functional>
#include <string>

#include "DialogHooks.h"
#include "framework/interface/DialogModule.h"

struct IExtParameter;

// Hooks over the plug-in's services (copied: the table may be a temporary)
// and the host's help; plain messages go to `showText` (the front end's
// message box).
DialogHooks HooksFromServices(const RirDialogServices& services, IExtParameter* params,
                              std::function<void(const std::string&)> showText);
