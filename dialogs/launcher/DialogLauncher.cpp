#include "framework/DialogLauncher.h"

#include <dlfcn.h>

#include <string>
#include <vector>

#include "framework/BlockCatalogue.h"
#include "framework/Errors.h"
#include "framework/interface/DialogModule.h"
#include "framework/interface/UExtParameterTypes.h"
#include "DialogServices.h"

namespace {

// The folder this plug-in was loaded from, with a trailing '/'.
std::string PluginFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&OpenParameterDialog), &info) == 0 || info.dli_fname == nullptr) return {};
  std::string path = info.dli_fname;
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

struct DialogModule {
  void* handle = nullptr;
  RirDialogsCanShowFn canShow = nullptr;
  RirDialogsPresentFn present = nullptr;
  RirDialogsOpenFn open = nullptr;
  std::string path;
  std::string error;
};

// Loaded once and kept: the module owns the QApplication it may create.
DialogModule& Module() {
  static DialogModule module = [] {
    DialogModule m;
    m.path = PluginFolder() + RIR_DIALOGS_MODULE_NAME;
    m.handle = dlopen(m.path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (m.handle == nullptr) {
      const char* why = dlerror();
      m.error = why != nullptr ? why : m.path;
      return m;
    }
    m.canShow = reinterpret_cast<RirDialogsCanShowFn>(dlsym(m.handle, RIR_DIALOGS_CAN_SHOW));
    m.present = reinterpret_cast<RirDialogsPresentFn>(dlsym(m.handle, RIR_DIALOGS_PRESENT));
    m.open = reinterpret_cast<RirDialogsOpenFn>(dlsym(m.handle, RIR_DIALOGS_OPEN));
    if (m.canShow == nullptr || m.present == nullptr || m.open == nullptr) {
      m.error = m.path + ": not a dialog module";
      m.open = nullptr;
    }
    return m;
  }();
  return module;
}

// No display is not a library that failed to load: say what is missing.
void ShowNoDisplay() {
  PresentMessage(msError, "RIR Eda Err:" + SelectLanguage("%eng%No display to show the dialog on "
                                                          "(set DISPLAY or WAYLAND_DISPLAY)"
                                                          "%rus%Нет дисплея для показа диалога "
                                                          "(задайте DISPLAY или WAYLAND_DISPLAY)"));
}

}  // namespace

void OpenParameterDialog(RirDialogKind kind, IExtParameter* params) {
  if (params == nullptr) return;
  const char* language = params->GetLanguage();
  Language = language != nullptr ? language : "";

  DialogModule& module = Module();
  if (module.handle == nullptr || module.open == nullptr) {
    ShowLibError(msgCantLoadLibrary, Language, module.error);
    return;
  }
  // Qt aborts the process when it cannot reach a display: ask first.
  if (module.canShow() == 0) {
    ShowNoDisplay();
    return;
  }
  static bool presenterSet = false;
  if (!presenterSet) {
    SetModuleMessagePresenter(module.present, nullptr);
    presenterSet = true;
  }

  const int32_t status = module.open(kind, params, &DialogServices());
  if (status == rdsNoDisplay) {
    ShowNoDisplay();
  } else if (status == rdsNotAvailable) {
    ShowLibError(msgCantFindFunction, Language);
  }
}
