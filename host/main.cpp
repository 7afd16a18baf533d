// rir-eda: loads the plug-in and constructs every block against an empty
// host, printing what each block answers. The simulator grows from here.
#include <cstdio>
#include <string>

#include "InProcessHost.h"
#include "PluginLoader.h"
#include "framework/ExportList.h"

namespace {
std::string PluginPathNextTo(const char* argv0) {
  std::string self = argv0;
  const size_t slash = self.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : self.substr(0, slash);
  return dir + "/../lib/librir_eda.so";
}

void PrintMessage(int32_t severity, const char* text, void*) {
  std::printf("  [%s] %s\n", severity == 0 ? "error" : "info", text);
}
}  // namespace

int main(int argc, char** argv) {
  PluginLoader plugin(PluginPathNextTo(argv[0]));
  if (!plugin.Loaded()) {
    std::fprintf(stderr, "rir-eda: %s\n", plugin.Error().c_str());
    return 2;
  }
  plugin.SetMessageHandler(PrintMessage, nullptr);
  int constructed = 0;
#define RIR_SMOKE(ordinal, name, factory, arg)                                                   \
  {                                                                                            \
    InProcessHost host;                                                                        \
    host.SetLibraryDirectory(plugin.Directory());                                              \
    IPELMOR* ref = &host;                                                                      \
    IModel** model = plugin.Init(#name)(&ref, 0);                                              \
    if (model != nullptr && *model != nullptr) {                                               \
      IModel* m = *model;                                                                      \
      m->AddRef();                                                                             \
      std::printf("%-36s valid=%d activation=%d type=\"%s\" reports=%zu\n", #name, m->IsValid(), \
                  m->GetActivation(), m->GetTypeName(), host.Reports().size());                 \
      m->Done();                                                                               \
      m->Release();                                                                            \
      ++constructed;                                                                           \
    }                                                                                          \
  }
  RIR_INIT_EXPORTS(RIR_SMOKE)
#undef RIR_SMOKE
  std::printf("%d blocks constructed\n", constructed);
  return 0;
}
