// A generator built through its export against an in-process host, with the
// helpers the generator tests share.
#pragma once

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "numeric/ParameterRecords.h"
#include "numeric/ValueText.h"
#include "support/PluginFixture.h"

struct GenOptions {
  int width = 32;
  int signMode = 0;
  bool clocked = false;
  long double period = 1;
  const GeneratorParams* record = nullptr;
};

struct GenRig {
  InProcessHost host;
  std::unique_ptr<Block> block;
  int signMode;

  GenRig(const char* typeName, const GenOptions& o = {}, const char* exportName = nullptr) : signMode(o.signMode) {
    PrepareHost(host);
    host.AddVariable("Out", vkBus, o.width, kWritableFlag);
    if (o.clocked) host.AddVariable("Clk", vkClk, 1, 0, "0");
    host.SetSamplePeriod(o.period);
    if (o.signMode != 0) host.SetIntParameter("SignValue", o.signMode);
    if (o.record != nullptr) SetRecord(typeName, *o.record);
    block = std::make_unique<Block>(exportName ? exportName : (std::string(typeName) + "_Init").c_str(), host);
  }
  void SetRecord(const std::string& typeName, const GeneratorParams& p) {
    std::vector<uint8_t> bytes(sizeof p);
    std::memcpy(bytes.data(), &p, sizeof p);
    host.SetParameter(typeName + "_parameters", bytes);
  }
  IModel* operator->() const { return block->get(); }
  std::string Text() const { return host.Value("Out"); }
  int32_t Step() {
    (*block)->TimeStep();
    return DecodeValueText(signMode, Text());
  }
  std::vector<int32_t> Steps(int n) {
    std::vector<int32_t> values;
    for (int i = 0; i < n; ++i) values.push_back(Step());
    return values;
  }
};

inline GeneratorParams Defaults() { return DefaultGeneratorParams(); }
