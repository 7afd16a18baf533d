#include "PluginLoader.h"

#include "InProcessHost.h"

#ifdef _WIN32
#include <windows.h>

namespace {
void* OpenLibrary(const std::string& path) { return reinterpret_cast<void*>(LoadLibraryA(path.c_str())); }
void CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
std::string LastLoadError() { return "LoadLibrary error " + std::to_string(GetLastError()); }
}  // namespace

void* PluginLoader::Symbol(const char* name) const {
  return handle_ != nullptr ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)) : nullptr;
}

// The real PE ordinal, passed through the 16-bit ordinal field as a host does.
void* PluginLoader::ByOrdinal(uint32_t ordinal) const {
  const WORD word = static_cast<WORD>(ordinal & 0xFFFFu);
  if (handle_ == nullptr || word == 0) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), MAKEINTRESOURCEA(word)));
}
#else
#include <dlfcn.h>

namespace {
void* OpenLibrary(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
void CloseLibrary(void* handle) { dlclose(handle); }
std::string LastLoadError() {
  const char* e = dlerror();
  return e != nullptr ? e : std::string();
}
}  // namespace

void* PluginLoader::Symbol(const char* name) const { return handle_ != nullptr ? dlsym(handle_, name) : nullptr; }

void* PluginLoader::ByOrdinal(uint32_t ordinal) const {
  using Fn = void* (*)(uint32_t);
  auto fn = reinterpret_cast<Fn>(Symbol("RirEda_ExportByOrdinal"));
  return fn != nullptr ? fn(ordinal) : nullptr;
}
#endif

PluginLoader::~PluginLoader() {
  if (handle_ != nullptr) CloseLibrary(handle_);
}

bool PluginLoader::Load(const std::string& path) {
  if (handle_ != nullptr) CloseLibrary(handle_);
  path_ = path;
  handle_ = OpenLibrary(path);
  if (handle_ == nullptr) {
    const std::string e = LastLoadError();
    error_ = !e.empty() ? e : "cannot load " + path;
    return false;
  }
  error_.clear();
  // Blocks built on our host objects find their extension.
  if (auto set = reinterpret_cast<SetHostServicesExport>(Symbol("RirEda_SetHostServices")))
    set(InProcessHostServices());
  return true;
}

std::string PluginLoader::Directory() const {
#ifdef _WIN32
  const size_t slash = path_.find_last_of("/\\");
#else
  const size_t slash = path_.find_last_of('/');
#endif
  return slash == std::string::npos ? std::string("./") : path_.substr(0, slash + 1);
}

void PluginLoader::SetMessageHandler(void (*handler)(int32_t, const char*, void*), void* context) const {
  using Fn = void (*)(void (*)(int32_t, const char*, void*), void*);
  if (auto fn = reinterpret_cast<Fn>(Symbol("RirEda_SetMessageHandler"))) fn(handler, context);
}

void PluginLoader::SetLanguage(const char* language) const {
  using Fn = void (*)(const char*);
  if (auto fn = reinterpret_cast<Fn>(Symbol("RirEda_SetLanguage"))) fn(language);
}
