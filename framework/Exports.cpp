// The plug-in's exports: block init functions, dialog functions, the greeting
// and our own hosts' extensions (ordinal lookup, message handler, language,
// host services). Each runs in the library's floating-point state whatever
// its caller's (FloatingPointGuard), and hands the caller's back on return.
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "BaseExtModel.h"
#include "BlockFactories.h"
#include "DialogLauncher.h"
#include "Errors.h"
#include "FloatingPointGuard.h"
#include "HostLink.h"
#include "HostServices.h"
#include "interface/ExportList.h"
#include "interface/IntTypes.h"

#ifdef _WIN32
// The module-definition file made from ExportList.h chooses the PE exports.
#define RIR_EXPORT extern "C"
#else
#define RIR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
IPELMOR* HostOf(IPELMOR** hostRef) { return hostRef != nullptr ? *hostRef : nullptr; }

// What the host gets when construction threw: an invalid block it can query
// and release like any other.
class TRefusedBlock final : public TBaseModelExt {
 public:
  explicit TRefusedBlock(IPELMOR* host) : TBaseModelExt(host, 0, kInputDriven) { Valid = false; }
};

IModel** Refused(IPELMOR* host, const char* what) noexcept {
  try {
    const std::string text = std::string("the block could not be constructed: ") + what;
    host->ReportError(rcMessage, reinterpret_cast<intptr_t>(text.c_str()));
  } catch (...) {
    // Not even the report fits: the invalid block says enough.
  }
  TRefusedBlock* block = new (std::nothrow) TRefusedBlock(host);
  return block != nullptr ? block->SelfRefAddress() : nullptr;
}

// No C++ exception leaves an export.
template <typename Arg, typename Given>
IModel** ConstructOver(IModel** (*factory)(IPELMOR*, Arg), IPELMOR* host, Given arg) {
  try {
    return factory(host, static_cast<Arg>(arg));
  } catch (const std::exception& e) {
    return Refused(host, e.what());
  } catch (...) {
    return Refused(host, "unknown exception");
  }
}

// The block is built over a link that calls the host back in the state the
// host called in, and then calls the host itself.
template <typename Arg, typename Given>
IModel** Construct(IModel** (*factory)(IPELMOR*, Arg), IPELMOR** hostRef, Given arg) {
  FloatingPointGuard fp;
  IPELMOR* host = HostOf(hostRef);
  if (host == nullptr) return nullptr;  // nothing to bind to
  THostLink construction(host);
  construction.HostState = fp.Caller();
  IModel** self = ConstructOver(factory, &construction, arg);
  if (self != nullptr && *self != nullptr) static_cast<TModelGuard*>(*self)->RetargetHost(host);
  return self;
}

void ShowException(const char* what) noexcept {
  try {
    PresentMessage(msError, std::string("RIR Eda Err:") + what);
  } catch (...) {
  }
}

void OpenDialogGuarded(RirDialogKind kind, IExtParameter* params) noexcept {
  FloatingPointGuard fp;
  try {
    OpenParameterDialog(kind, params);
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("unknown exception");
  }
}
}  // namespace

#define RIR_DEFINE_INIT(ordinal, name, factory, arg) \
  RIR_EXPORT IModel** RIR_STDCALL name(IPELMOR** hostRef, intptr_t) { return Construct(factory, hostRef, arg); }
RIR_INIT_EXPORTS(RIR_DEFINE_INIT)
#undef RIR_DEFINE_INIT

RIR_EXPORT void RIR_STDCALL GenersExtParams(IExtParameter* params) { OpenDialogGuarded(rdkGenerator, params); }
RIR_EXPORT void RIR_STDCALL TransExtParams(IExtParameter* params) { OpenDialogGuarded(rdkTransform, params); }
RIR_EXPORT void RIR_STDCALL WaveExtParams(IExtParameter* params) { OpenDialogGuarded(rdkWave, params); }

namespace {
// Export 102030 has no name: reachable only by ordinal.
void RIR_STDCALL Hello() {
  FloatingPointGuard fp;
  try {
    PresentMessage(msInfo, "Hello");
  } catch (...) {
  }
}

struct OrdinalEntry {
  uint32_t ordinal;
  void* address;
};

#define RIR_INIT_ENTRY(ordinal, name, factory, arg) {ordinal, reinterpret_cast<void*>(&name)},
#define RIR_DIALOG_ENTRY(ordinal, name) {ordinal, reinterpret_cast<void*>(&name)},
const OrdinalEntry kOrdinals[] = {
    RIR_INIT_EXPORTS(RIR_INIT_ENTRY)
        RIR_DIALOG_EXPORTS(RIR_DIALOG_ENTRY){kHelloOrdinal, reinterpret_cast<void*>(&Hello)},
};
#undef RIR_INIT_ENTRY
#undef RIR_DIALOG_ENTRY
}  // namespace

#ifdef _WIN32
// A PE ordinal has 16 bits: the greeting sits at 102030 mod 65536, where a
// caller passing 102030 through the ordinal field arrives. The module
// definition exports this symbol there without a name.
static_assert(kHelloOrdinal % 65536 == 36494);
RIR_EXPORT void RIR_STDCALL RirEda_Hello() { Hello(); }
#endif

RIR_EXPORT void* RirEda_ExportByOrdinal(uint32_t ordinal) {
  FloatingPointGuard fp;
  for (const OrdinalEntry& e : kOrdinals) {
    if (e.ordinal == ordinal) return e.address;
  }
  return nullptr;
}

RIR_EXPORT void RirEda_SetMessageHandler(void (*handler)(int32_t severity, const char* text, void* context),
                                         void* context) {
  FloatingPointGuard fp;
  SetHostMessageHandler(handler, context);
}

RIR_EXPORT void RirEda_SetLanguage(const char* language) {
  FloatingPointGuard fp;
  try {
    Language = language != nullptr ? language : "";
  } catch (...) {
    // Out of memory: the language stays as it was.
  }
}

RIR_EXPORT void RirEda_SetHostServices(const RirEdaHostServices* table) {
  FloatingPointGuard fp;
  SetHostServices(table);
}
