// Not compiled: the build runs only the preprocessor over this file and turns
// each RIR_DEF_ENTRY line into a line of the module-definition file, so the
// DLL's export table comes from the same list as every other use of it.
// RIR_DEF_ENTRY name stack-bytes ordinal; stack bytes are those of the i686
// stdcall arguments (a wrong count fails the link).
#include "framework/interface/ExportList.h"

#define RIR_DEF_INIT(ordinal, name, factory, arg) RIR_DEF_ENTRY name 8 ordinal
#define RIR_DEF_DIALOG(ordinal, name) RIR_DEF_ENTRY name 4 ordinal
RIR_INIT_EXPORTS(RIR_DEF_INIT)
RIR_DIALOG_EXPORTS(RIR_DEF_DIALOG)
