// The platform's dynamic-library loader: load by path, look up a name, release.
#pragma once

#include <string>

// Opaque handle of a loaded library; null when loading failed.
using DynamicLibraryHandle = void*;

// Loads `path`; on failure returns null and puts the loader's reason in `error`.
DynamicLibraryHandle OpenDynamicLibrary(const std::string& path, std::string& error);
// The address of the exported `name`, or null.
void* FindLibrarySymbol(DynamicLibraryHandle library, const char* name);
void CloseDynamicLibrary(DynamicLibraryHandle library);
