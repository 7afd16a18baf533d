// The plug-in's side of the host extension (interface/HostExtension.h): the
// services table our own hosts hand over, kept process-wide.
#pragma once

#include "interface/HostExtension.h"

// What RirEda_SetHostServices was last given (null: none).
void SetHostServices(const RirEdaHostServices* table);
// The extension of the host a block is built on; null without services, or
// when the services do not know the host.
const RirEdaHostExtension* HostExtensionFor(IPELMOR* host);
