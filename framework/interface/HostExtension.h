// What a block tells a host of our own beside the IPELMOR calls: the host
// extension. A circuit host never meets it and sees no other call: the
// extension is found through the process-wide export RirEda_SetHostServices,
// which only our hosts call, and a block built on any other host gets none.
//
// Who calls what, and who owns what:
// - A host calls RirEda_SetHostServices(table) once, after it loaded the
//   plug-in and before it constructs a block. The table and everything it
//   hands out are the host's; they stay valid while the plug-in is loaded,
//   or until the host calls RirEda_SetHostServices(nullptr).
// - A block calls table->ExtensionFor(table->context, host) once, in its
//   construction, with the IPELMOR it was built on, and keeps the answer
//   for its life. The host answers null for an IPELMOR that is not its own.
// - A block calls the extension's slots only from inside the host's calls
//   into the block (LoadParameters, Start, TimeStep, InputChanged, Done),
//   on the host's thread.
//
// Versions: every table starts with its size in bytes as its maker compiled
// it, and a slot is used only when that size covers it and it is not null.
// Tables grow at their end; either side may be the older one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "IntTypes.h"

// What became of a value a block wrote to an output. Every value that is
// not rvpNone is told to the host, right after the write.
enum RirEdaValueProblem : int32_t {
  rvpNone = 0,
  // The port's width (or its unsigned texts) could not carry the value:
  // magnitude bits beyond the width, or the sign, were dropped.
  rvpWrapped = 1,
  // The result lay outside the 32-bit sample range before it was rounded.
  rvpOutOfRange = 2,
  // The result was not a number.
  rvpNotANumber = 3,
};
constexpr int kValueProblemKinds = 3;

// One block's host, as the block sees it beside IPELMOR.
struct RirEdaHostExtension {
  uint32_t size;  // sizeof(RirEdaHostExtension) as the host compiled it
  void* context;  // the host's, passed back in every call
  // The value the block has just written to its output `variable` (with
  // SetValueText) is not what it computed: `problem` says why.
  void(RIR_STDCALL* ValueProblem)(void* context, VarHandle variable, int32_t problem);
};

// What a host of our own hands the plug-in once.
struct RirEdaHostServices {
  uint32_t size;  // sizeof(RirEdaHostServices) as the host compiled it
  void* context;  // the host's, passed back in every call
  // The extension of `host`, or null when `host` is not this host's own.
  const RirEdaHostExtension*(RIR_STDCALL* ExtensionFor)(void* context, IPELMOR* host);
};

// True when a table, as its maker sized it, holds the slot at `offset` of
// `bytes` bytes.
constexpr bool TableHolds(uint32_t size, size_t offset, size_t bytes) { return offset + bytes <= size; }
#define RIR_TABLE_HOLDS(table, member) \
  TableHolds((table)->size, offsetof(std::remove_pointer_t<decltype(table)>, member), sizeof((table)->member))

// The export: RirEda_SetHostServices(const RirEdaHostServices* table), cdecl,
// exported by name (on Windows at ordinal 10003).
using SetHostServicesExport = void (*)(const RirEdaHostServices* table);
