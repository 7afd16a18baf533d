#include "HostServices.h"

namespace {
const RirEdaHostServices* g_services = nullptr;
}  // namespace

void SetHostServices(const RirEdaHostServices* table) { g_services = table; }

const RirEdaHostExtension* HostExtensionFor(IPELMOR* host) {
  const RirEdaHostServices* services = g_services;
  if (services == nullptr || host == nullptr || !RIR_TABLE_HOLDS(services, ExtensionFor) ||
      services->ExtensionFor == nullptr)
    return nullptr;
  return services->ExtensionFor(services->context, host);
}
