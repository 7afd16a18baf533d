#include "PluginLoader.h"

#include <dlfcn.h>

PluginLoader::~PluginLoader() {
  if (handle_ != nullptr) dlclose(handle_);
}

bool PluginLoader::Load(const std::string& path) {
  if (handle_ != nullptr) dlclose(handle_);
  path_ = path;
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* e = dlerror();
    error_ = e != nullptr ? e : "cannot load " + path;
    return false;
  }
  error_.clear();
  return true;
}

std::string PluginLoader::Directory() const {
  const size_t slash = path_.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path_.substr(0, slash + 1);
}

void* PluginLoader::Symbol(const char* name) const { return handle_ != nullptr ? dlsym(handle_, name) : nullptr; }

void* PluginLoader::ByOrdinal(uint32_t ordinal) const {
  using Fn = void* (*)(uint32_t);
  auto fn = reinterpret_cast<Fn>(Symbol("RirEda_ExportByOrdinal"));
  return fn != nullptr ? fn(ordinal) : nullptr;
}

void PluginLoader::SetMessageHandler(void (*handler)(int32_t, const char*, void*), void* context) const {
  using Fn = void (*)(void (*)(int32_t, const char*, void*), void*);
  if (auto fn = reinterpret_cast<Fn>(Symbol("RirEda_SetMessageHandler"))) fn(handler, context);
}

void PluginLoader::SetLanguage(const char* language) const {
  using Fn = void (*)(const char*);
  if (auto fn = reinterpret_cast<Fn>(Symbol("RirEda_SetLanguage"))) fn(language);
}
