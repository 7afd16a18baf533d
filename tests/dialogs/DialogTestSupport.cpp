#include "DialogTestSupport.h"

#include "framework/BlockCatalogue.h"
#include "framework/Errors.h"

QApplication& TestApp() {
  if (auto* running = qobject_cast<QApplication*>(QCoreApplication::instance())) return *running;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "dialogs_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt's own globals may go first at exit.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

namespace {
HookLog* CurrentLog = nullptr;
void Capture(int32_t, const char* text, void*) {
  if (CurrentLog != nullptr) CurrentLog->texts.emplace_back(text);
}
}  // namespace

DialogHooks RecordingHooks(HookLog& log) {
  TestApp();
  CurrentLog = &log;
  SetHostMessageHandler(&Capture, nullptr);
  DialogHooks hooks;
  hooks.dialogCodeOf = [](const std::string& name) { return DialogCodeOf(name); };
  hooks.groupOfCode = [](int32_t code) { return GroupOfCode(code); };
  hooks.isFilterCode = [](int32_t code) { return IsFilterCode(code); };
  hooks.showInfo = [&log](int32_t number) {
    log.infos.push_back(number);
    ShowLibInfo(number);
  };
  hooks.showText = [&log](const std::string& text) { log.texts.push_back(text); };
  hooks.setLanguage = [&log](const std::string& language) {
    log.language = language;
    Language = language;
  };
  return hooks;
}
