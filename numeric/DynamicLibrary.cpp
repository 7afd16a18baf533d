#include "DynamicLibrary.h"

#ifdef _WIN32
#include <windows.h>

DynamicLibraryHandle OpenDynamicLibrary(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) error = "error " + std::to_string(GetLastError());
  return reinterpret_cast<DynamicLibraryHandle>(module);
}

void* FindLibrarySymbol(DynamicLibraryHandle library, const char* name) {
  return library != nullptr ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

void CloseDynamicLibrary(DynamicLibraryHandle library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

#else
#include <dlfcn.h>

DynamicLibraryHandle OpenDynamicLibrary(const std::string& path, std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    error = why != nullptr ? why : path;
  }
  return handle;
}

void* FindLibrarySymbol(DynamicLibraryHandle library, const char* name) {
  return library != nullptr ? dlsym(library, name) : nullptr;
}

void CloseDynamicLibrary(DynamicLibraryHandle library) {
  if (library != nullptr) dlclose(library);
}
#endif
