// Shared set-up of the transform tests: a host with the block's ports, the
// stored records and the value texts, all through the plug-in's exports.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "numeric/ParameterRecords.h"
#include "numeric/ValueText.h"
#include "support/PluginFixture.h"
#include "support/RecordBytes.h"

inline TransformParams DefaultTransform() {
  TransformParams p{};
  DefaultTransformRecord(p);
  return p;
}

inline FilterParams DefaultFilter() {
  FilterParams p{};
  DefaultFilterRecord(p);
  return p;
}

// An input bus (readable) and output bus (writable) of the given width.
inline void AddIn(InProcessHost& host, const std::string& name, int width, uint16_t kind = vkBus) {
  host.AddVariable(name, kind, width, 0, std::string(static_cast<size_t>(width), '0'));
}
inline void AddOut(InProcessHost& host, const std::string& name, int width, uint16_t kind = vkBus) {
  host.AddVariable(name, kind, width, kWritableFlag, std::string(static_cast<size_t>(width), '0'));
}

inline void SetInt(InProcessHost& host, const std::string& name, int32_t value, int signMode = 0) {
  const HostVariable* v = host.Store().Get(host.Resolve(name));
  host.SetValue(name, EncodeValueText(signMode, value, v != nullptr ? v->width : 32));
}
inline int32_t GetInt(const InProcessHost& host, const std::string& name, int signMode = 0) {
  return DecodeValueText(signMode, host.Value(name));
}

// Codes that the host saw reported, in order.
inline std::vector<std::pair<int32_t, std::string>> ReportedCodes(const InProcessHost& host) {
  std::vector<std::pair<int32_t, std::string>> out;
  for (const HostReport& r : host.Reports()) {
    std::string what = r.text;
    if (r.code == rcWrongKindOrFlags || r.code == rcWrongWidth) {
      for (const HostVariable& v : const_cast<InProcessHost&>(host).Store().All())
        if (host.Resolve(v.name) == static_cast<VarHandle>(r.argument)) what = v.name;
    }
    out.emplace_back(r.code, what);
  }
  return out;
}
