#include "PluginFixture.h"

namespace {
void Capture(int32_t severity, const char* text, void*) {
  ShownMessages().push_back({severity, text != nullptr ? text : ""});
}
}  // namespace

std::vector<ShownMessage>& ShownMessages() {
  static std::vector<ShownMessage> messages;
  return messages;
}

PluginLoader& Plugin() {
  static PluginLoader* plugin = [] {
    auto* p = new PluginLoader(RIR_PLUGIN_PATH);
    if (p->Loaded()) p->SetMessageHandler(Capture, nullptr);
    return p;
  }();
  return *plugin;
}

void PrepareHost(InProcessHost& host) { host.SetLibraryDirectory(RIR_PLUGIN_DIR); }

Block::Block(const char* exportName, InProcessHost& host) {
  InitExport init = Plugin().Init(exportName);
  if (init == nullptr) {
    ADD_FAILURE() << "no export " << exportName << ": " << Plugin().Error();
    return;
  }
  IPELMOR* ref = &host;
  IModel** self = init(&ref, 0);
  if (self == nullptr || *self == nullptr) {
    ADD_FAILURE() << exportName << " returned no block";
    return;
  }
  model_ = *self;
  model_->AddRef();
}

Block::~Block() {
  if (model_ == nullptr) return;
  model_->Done();
  model_->Release();
}
