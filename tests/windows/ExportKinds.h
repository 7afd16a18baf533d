// Every block init export with the kind of block it makes, and a host that
// has every port those blocks bind: for programs that drive all exports.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/interface/ExportList.h"
#include "host/engine/InProcessHost.h"
#include "numeric/ParameterRecords.h"

enum class ExportKind { Generator, Simple, Buffer, Filter, Wave };

struct InitExportEntry {
  const char* name;
  ExportKind kind;
};

// From the factory's name: CreateGenerator, CreateSimpleTransform,
// CreateTransform, CreateFilterTransform, CreateWaveIO.
constexpr ExportKind ExportKindOf(const char* factory) {
  return factory[6] == 'G'   ? ExportKind::Generator
         : factory[6] == 'S' ? ExportKind::Simple
         : factory[6] == 'F' ? ExportKind::Filter
         : factory[6] == 'W' ? ExportKind::Wave
                             : ExportKind::Buffer;
}
#define RIR_INIT_EXPORT_ENTRY(ordinal, name, factory, arg) {#name, ExportKindOf(#factory)},
constexpr InitExportEntry kInitExports[] = {RIR_INIT_EXPORTS(RIR_INIT_EXPORT_ENTRY)};
#undef RIR_INIT_EXPORT_ENTRY

// Inputs DIn, D2In, DSrc, DDes; outputs Out, DOut, DReOut, DImOut and the
// double-width DSOut; the lines W and R; signed value texts.
inline void AddAllPorts(InProcessHost& host, int width) {
  const std::string zeros(static_cast<size_t>(width), '0');
  for (const char* in : {"DIn", "D2In", "DSrc", "DDes"}) host.AddVariable(in, vkBus, width, 0, zeros);
  for (const char* o : {"Out", "DOut", "DReOut", "DImOut"}) host.AddVariable(o, vkBus, width, kWritableFlag, zeros);
  host.AddVariable("DSOut", vkBus, 2 * width, kWritableFlag, zeros + zeros);
  host.AddVariable("W", vkLine, 1, 0, "0");
  host.AddVariable("R", vkLine, 1, 0, "0");
  host.SetIntParameter("SignValue", 0);
}

// The record the host answers every record request with.
template <class Record>
void SetAnyRecord(InProcessHost& host, const Record& r) {
  std::vector<uint8_t> bytes(sizeof r);
  std::memcpy(bytes.data(), &r, sizeof r);
  host.SetRecord(bytes);
}
