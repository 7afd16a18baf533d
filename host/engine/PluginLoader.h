// Loads librir_eda.so with dlopen and finds its exports, as any host would.
#pragma once

#include <cstdint>
#include <string>

#include "framework/interface/IntTypes.h"

class PluginLoader {
 public:
  PluginLoader() = default;
  explicit PluginLoader(const std::string& path) { Load(path); }
  ~PluginLoader();
  PluginLoader(const PluginLoader&) = delete;
  PluginLoader& operator=(const PluginLoader&) = delete;

  bool Load(const std::string& path);  // false: see Error()
  bool Loaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }
  const std::string& Path() const { return path_; }
  // The folder the plug-in was loaded from, with a trailing '/'.
  std::string Directory() const;

  void* Symbol(const char* name) const;
  InitExport Init(const char* name) const { return reinterpret_cast<InitExport>(Symbol(name)); }
  void* ByOrdinal(uint32_t ordinal) const;
  void SetMessageHandler(void (*handler)(int32_t, const char*, void*), void* context) const;
  void SetLanguage(const char* language) const;

 private:
  void* handle_ = nullptr;
  std::string path_;
  std::string error_;
};
