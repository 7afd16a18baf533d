// The plug-in's services as the dialogs reach them: messages in the
// process-wide language, catalogue lookups, the formula check and the
// waveform code. The same table serves the Qt module and the Win32 dialogs.
#pragma once

#include "framework/interface/DialogModule.h"

const RirDialogServices& DialogServices();
