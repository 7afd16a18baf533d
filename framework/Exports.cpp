// The plug-in's exports: block init functions, dialog functions, the greeting
// and the Linux extensions (ordinal lookup, message handler, language).
#include <cstdint>
#include <cstring>

#include "BlockFactories.h"
#include "DialogLauncher.h"
#include "Errors.h"
#include "ExportList.h"
#include "IntTypes.h"

#ifdef _WIN32
// The module-definition file made from ExportList.h chooses the PE exports.
#define RIR_EXPORT extern "C"
#else
#define RIR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
IPELMOR* HostOf(IPELMOR** hostRef) { return hostRef != nullptr ? *hostRef : nullptr; }

template <typename Arg, typename Given>
IModel** Construct(IModel** (*factory)(IPELMOR*, Arg), IPELMOR** hostRef, Given arg) {
  IPELMOR* host = HostOf(hostRef);
  if (host == nullptr) return nullptr;  // nothing to bind to
  return factory(host, static_cast<Arg>(arg));
}
}  // namespace

#define RIR_DEFINE_INIT(ordinal, name, factory, arg) \
  RIR_EXPORT IModel** RIR_STDCALL name(IPELMOR** hostRef, intptr_t) { return Construct(factory, hostRef, arg); }
RIR_INIT_EXPORTS(RIR_DEFINE_INIT)
#undef RIR_DEFINE_INIT

RIR_EXPORT void RIR_STDCALL GenersExtParams(IExtParameter* params) {
  OpenParameterDialog(DialogKind::Generator, params);
}
RIR_EXPORT void RIR_STDCALL TransExtParams(IExtParameter* params) {
  OpenParameterDialog(DialogKind::Transform, params);
}
RIR_EXPORT void RIR_STDCALL WaveExtParams(IExtParameter* params) { OpenParameterDialog(DialogKind::Wave, params); }

namespace {
// Export 102030 has no name: reachable only by ordinal.
void RIR_STDCALL Hello() { PresentMessage(msInfo, "Hello"); }

struct OrdinalEntry {
  uint32_t ordinal;
  void* address;
};

#define RIR_INIT_ENTRY(ordinal, name, factory, arg) {ordinal, reinterpret_cast<void*>(&name)},
#define RIR_DIALOG_ENTRY(ordinal, name) {ordinal, reinterpret_cast<void*>(&name)},
const OrdinalEntry kOrdinals[] = {
    RIR_INIT_EXPORTS(RIR_INIT_ENTRY) RIR_DIALOG_EXPORTS(RIR_DIALOG_ENTRY){kHelloOrdinal,
                                                                          reinterpret_cast<void*>(&Hello)},
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
  for (const OrdinalEntry& e : kOrdinals) {
    if (e.ordinal == ordinal) return e.address;
  }
  return nullptr;
}

RIR_EXPORT void RirEda_SetMessageHandler(void (*handler)(int32_t severity, const char* text, void* context),
                                         void* context) {
  SetHostMessageHandler(handler, context);
}

RIR_EXPORT void RirEda_SetLanguage(const char* language) { Language = language != nullptr ? language : ""; }
