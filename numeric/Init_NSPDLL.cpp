#include "Init_NSPDLL.h"

#include "DynamicLibrary.h"
#include "framework/Errors.h"
#include "framework/interface/IntTypes.h"

NspFunctionTable NspTable;
std::string LibraryDirectory;

namespace {
void* LibraryHandle = nullptr;
int Users = 0;
}  // namespace

#ifdef _WIN32
std::string SignalLibraryPath() { return LibraryDirectory + "NSPdllS\\NSPPX.DLL"; }
#else
std::string SignalLibraryPath() { return LibraryDirectory + "NSPdllS/NSPPX.so"; }
#endif

bool LoadSignalLibrary() {
  const std::string path = SignalLibraryPath();
  std::string why;
  void* handle = OpenDynamicLibrary(path, why);
  if (handle == nullptr) {
    ShowLibError(msgCantLoadLibrary, Language, path);
    return false;
  }
  CloseDynamicLibrary(LibraryHandle);
  LibraryHandle = handle;
#define RIR_NSP_RESOLVE(name) \
  NspTable.name = reinterpret_cast<decltype(NspTable.name)>(FindLibrarySymbol(handle, #name));
  RIR_NSP_FUNCTIONS(RIR_NSP_RESOLVE)
#undef RIR_NSP_RESOLVE
  return true;
}

void UnloadSignalLibrary() {
  // A library loaded from an empty directory prefix is released too.
  if (LibraryHandle != nullptr) {
    NspTable = NspFunctionTable{};
    CloseDynamicLibrary(LibraryHandle);
    LibraryHandle = nullptr;
  }
  LibraryDirectory.clear();
}

bool SignalLibraryLoaded() { return LibraryHandle != nullptr; }

bool AcquireSignalLibrary(IPELMOR* host) {
  if (LibraryHandle == nullptr) {
    const char* dir = host != nullptr ? host->GetLibraryDirectory() : nullptr;
    LibraryDirectory = dir != nullptr ? dir : "";
    if (!LoadSignalLibrary()) return false;
  }
  ++Users;
  return true;
}

void ReleaseSignalLibrary() {
  if (Users > 0 && --Users == 0) UnloadSignalLibrary();
}

int SignalLibraryUsers() { return Users; }
