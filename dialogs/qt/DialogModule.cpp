// Entry points of librir_eda_dialogs.so, called by the plug-in.
#include "framework/interface/DialogModule.h"

#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "framework/interface/UExtParameterTypes.h"
#include "DialogChrome.h"
#include "DialogRunner.h"

#define RIR_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

// The probe's connection stays open until Qt has its own: a server that
// resets when its last client leaves (a bare Xvfb) would otherwise refuse
// Qt for a moment, and Qt ends the process when it cannot connect.
xcb_connection_t* Probe = nullptr;

bool XDisplayReachable() {
  if (Env("DISPLAY").empty()) return false;
  if (Probe != nullptr) return true;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool ok = c != nullptr && xcb_connection_has_error(c) == 0;
  if (ok) {
    Probe = c;
  } else if (c != nullptr) {
    xcb_disconnect(c);
  }
  return ok;
}

void CloseProbe() {
  if (Probe != nullptr) xcb_disconnect(Probe);
  Probe = nullptr;
}

bool WaylandReachable() {
  std::string name = Env("WAYLAND_DISPLAY");
  if (name.empty()) name = "wayland-0";
  const std::string runtime = Env("XDG_RUNTIME_DIR");
  if (name.front() != '/' && runtime.empty()) return false;
  const std::string path = name.front() == '/' ? name : runtime + "/" + name;
  return access(path.c_str(), F_OK) == 0;
}

// Qt ends the process when the platform plug-in is missing, too.
bool PlatformPluginPresent(const char* prefix) {
  const QDir dir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
  return !dir.entryList({QString::fromLatin1(prefix) + QStringLiteral("*.so")}, QDir::Files).isEmpty();
}

// Whether creating a QApplication would find a platform to run on; Qt ends
// the process when it finds none.
bool PlatformUsable() {
  std::string platform = Env("QT_QPA_PLATFORM");
  platform = platform.substr(0, platform.find_first_of(";:"));
  if (platform == "offscreen" || platform == "minimal" || platform == "vnc")
    return PlatformPluginPresent(("libq" + platform).c_str());
  const bool x = PlatformPluginPresent("libqxcb") && XDisplayReachable();
  const bool wayland = PlatformPluginPresent("libqwayland") && WaylandReachable();
  if (platform.rfind("wayland", 0) == 0) return wayland;
  if (platform == "xcb") return x;
  if (!platform.empty()) return false;  // a platform we cannot check
  return x || wayland;
}

bool CanShowWidgets() {
  if (QCoreApplication* app = QCoreApplication::instance()) return qobject_cast<QApplication*>(app) != nullptr;
  return PlatformUsable();
}

// The module's own application when the host has none; kept for the life of
// the process (the module is never unloaded).
bool EnsureApplication() {
  if (QCoreApplication::instance() != nullptr || !PlatformUsable()) return CanShowWidgets();
  static int argc = 1;
  static char name[] = "rir_eda";
  static char* argv[] = {name, nullptr};
  auto* app = new QApplication(argc, argv);
  app->setQuitOnLastWindowClosed(false);
  CloseProbe();
  return true;
}

}  // namespace

RIR_MODULE_EXPORT int32_t RirDialogs_CanShow() { return CanShowWidgets() ? 1 : 0; }

RIR_MODULE_EXPORT void RirDialogs_PresentMessage(int32_t severity, const char* text, void*) {
  const char* shown = text != nullptr ? text : "";
  if (!EnsureApplication()) {
    std::fprintf(stderr, "%s\n", shown);
    return;
  }
  QMessageBox box(severity == 1 ? QMessageBox::Information : QMessageBox::Critical, QStringLiteral("Rir_Eda"),
                  QString::fromUtf8(shown), QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.adjustSize();
  CentreOnScreen(box);
  box.exec();
}

RIR_MODULE_EXPORT int32_t RirDialogs_Open(int32_t kind, IExtParameter* params, const RirDialogServices* services) {
  if (params == nullptr || services == nullptr || services->size < sizeof(RirDialogServices)) return rdsNotAvailable;
  if (kind != rdkGenerator && kind != rdkTransform && kind != rdkWave) return rdsNotAvailable;
  if (!EnsureApplication()) return rdsNoDisplay;
  try {
    const char* language = params->GetLanguage();
    UseQtTranslations(language != nullptr ? language : "");
    return RunDialog(static_cast<RirDialogKind>(kind), params, *services);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Rir_Eda"), QString::fromLocal8Bit(e.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, QStringLiteral("Rir_Eda"), QStringLiteral("Unknown exception"));
  }
  return rdsFailed;
}
