// rir-dialog-screenshots OUTDIR: opens the generator dialog through the
// plug-in's export, as a host would, and saves pictures of every offered page in
// English and Russian. Run under a display (tools/dialog-screenshots.sh).
#include <dlfcn.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <string>

#include "framework/interface/UExtParameterTypes.h"

namespace {

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
// Saves the shown generator dialog and closes it; retries while it is not
// on the screen yet (a loaded machine is slow to map windows).
void TakeWhenShown(const std::string& file, int attempts) {
  QTimer::singleShot(250, [file, attempts] {
    QWidget* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "GenersForm" && w->isVisible()) dialog = w;
    if (dialog == nullptr) {
      if (attempts > 0) TakeWhenShown(file, attempts - 1);
      return;
    }
    if (!dialog->grab().save(QString::fromStdString(file)))
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
    else
      std::printf("%s\n", file.c_str());
    if (auto* cancel = dialog->findChild<QAbstractButton*>("CancelBtn")) cancel->click();
  });
}

class ShotHost : public IExtParameter {
 public:
  std::string language, typeName, directory, output;
  int32_t RIR_STDCALL QueryInterface(const GUID*, void** out) override {
    *out = this;
    return 0;
  }
  uint32_t RIR_STDCALL AddRef() override { return 1; }
  uint32_t RIR_STDCALL Release() override { return 1; }
  const char* RIR_STDCALL GetLanguage() override { return language.c_str(); }
  const char* RIR_STDCALL GetBlockTypeName() override { return typeName.c_str(); }
  int32_t RIR_STDCALL GetPositionSize() override { return 0; }
  const void* RIR_STDCALL GetPosition() override { return nullptr; }
  void RIR_STDCALL SetPosition(const void*, int32_t) override {}
  int32_t RIR_STDCALL GetDataSize() override {
    // The dialog exists now: take the picture once it has been drawn.
    TakeWhenShown(output, 40);
    return 0;
  }
  const void* RIR_STDCALL GetData() override { return nullptr; }
  void RIR_STDCALL SetData(const void*, int32_t) override {}
  const char* RIR_STDCALL GetDirectory() override { return directory.c_str(); }
  void RIR_STDCALL ShowHelp(const char*) override {}
  int32_t RIR_STDCALL GetOwnerWindow() override { return 0; }
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PLUGIN OUTDIR\n", argv[0]);
    return 2;
  }
  void* plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (plugin == nullptr) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  auto open = reinterpret_cast<void(RIR_STDCALL*)(IExtParameter*)>(dlsym(plugin, "GenersExtParams"));
  if (open == nullptr) return 1;
  QDir().mkpath(argv[2]);
  const std::string out = argv[2];
  struct Shot {
    const char* typeName;
    const char* file;
  };
  const Shot shots[] = {{"Sine", "sine"},         {"ModSine", "modsine"},        {"Hann", "windowing"},
                        {"Func", "function"},     {"Constant", "constant"},      {"Tone", "tone"},
                        {"Triangle", "triangle"}, {"PseudoRandom", "unirandom"}, {"Gaussian", "gaussian"},
                        {"Blackman", "blackman"}, {"Kaiser", "kaiser"}};
  for (const char* language : {"ENGLISH", "RUSSIAN"}) {
    for (const Shot& s : shots) {
      ShotHost host;
      host.language = language;
      host.typeName = s.typeName;
      host.output = out + "/" + s.file + (std::string(language) == "RUSSIAN" ? "-ru" : "-en") + ".png";
      open(&host);  // the module makes the QApplication on first use
    }
  }
  return 0;
}
