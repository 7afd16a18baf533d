#include "Init_NSPDLL.h"

#include "DynamicLibrary.h"
#include "framework/Errors.h"
#include "framework/interface/IntTypes.h"

NspFunctionTable NspTable;
std::string LibraryDirectory;

namespace {
void* LibraryHandle = nullptr;
int Users = 0;

// The blocks call the library only in its own floating-point state (their
// slots are guarded): where it offers them, they call the bodies without the
// exports' own guard, which would only read the state once more.
void TakeUnguardedEntries(void* handle) {
  using UnguardedEntry = void* (*)(const char*);
  const auto unguarded = reinterpret_cast<UnguardedEntry>(FindLibrarySymbol(handle, "RirNsp_UnguardedEntry"));
  if (unguarded == nullptr) return;
#define RIR_NSP_UNGUARDED(name)                                                            \
  if (void* body = NspTable.name != nullptr ? unguarded(#name) : nullptr; body != nullptr) \
    NspTable.name = reinterpret_cast<decltype(NspTable.name)>(body);
  RIR_NSP_FUNCTIONS(RIR_NSP_UNGUARDED)
#undef RIR_NSP_UNGUARDED
  NspTable.BindStep = reinterpret_cast<RirNspBindStep>(unguarded("RirNsp_BindStep"));
}
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
  TakeUnguardedEntries(handle);
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
