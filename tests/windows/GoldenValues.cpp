// Drives a fixed set of scenarios through the plug-in's exports and writes
// every output value text, one per line: the Linux plug-in and both Windows
// DLLs must write the same bytes (tests/windows/compare_golden.py), under
// every floating-point state a host may call in. A line that follows a call
// which left another state than the host's says so, and differs.
//
// usage: golden_values OUTFILE [HOST_STATE]
//        golden_values --states   (lists the host states)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ExportKinds.h"
#include "host/engine/PluginLoader.h"
#include "support/HostFloatingPointStates.h"
#include "numeric/ValueText.h"

namespace {

constexpr int kWidth = 32;
FILE* out = nullptr;
const HostFloatingPointState* hostState = &kHostFloatingPointStates[0];

PluginLoader& Plugin() {
  static PluginLoader plugin(RIR_PLUGIN_PATH);
  return plugin;
}

// The same inputs in every build: a small linear congruential sequence.
struct Inputs {
  uint32_t state;
  explicit Inputs(uint32_t seed) : state(seed) {}
  int32_t Next(int32_t amplitude) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int32_t>((state >> 8) % static_cast<uint32_t>(2 * amplitude + 1)) - amplitude;
  }
};

void Write(const std::string& scenario, const char* what, int index, const std::string& text) {
  std::fprintf(out, "%s %s %d %s\n", scenario.c_str(), what, index, text.c_str());
}

// A line after a call into the library.
void Line(const std::string& scenario, const char* what, int index, const std::string& text) {
  if (!HostFloatingPointStateIs(*hostState))
    std::fprintf(out, "%s %s %d: the host's floating-point state was not restored (x87 %04x, MXCSR %08x)\n",
                 scenario.c_str(), what, index, floating_point::ReadX87ControlWord(), floating_point::ReadMxcsr());
  Write(scenario, what, index, text);
}

void Message(int32_t severity, const char* text, void* scenario) {
  Write(*static_cast<std::string*>(scenario), "message", severity, text != nullptr ? text : "");
}

void AddPorts(InProcessHost& host) {
  host.SetLibraryDirectory(RIR_PLUGIN_DIR);
  AddAllPorts(host, kWidth);
}

void Set(InProcessHost& host, const char* port, int32_t value) {
  host.SetValue(port, EncodeValueText(0, value, kWidth));
}

// Builds the block, runs `drive` on it and writes the host's reports.
template <class Drive>
void Scenario(const std::string& scenario, const char* exportName, InProcessHost& host, Drive drive) {
  std::string name = scenario;
  Plugin().SetMessageHandler(Message, &name);
  IPELMOR* ref = &host;
  IModel** self = Plugin().Init(exportName)(&ref, 0);
  if (self == nullptr || *self == nullptr) {
    Line(scenario, "noblock", 0, "");
    return;
  }
  IModel* block = *self;
  block->AddRef();
  Line(scenario, "valid", block->IsValid() ? 1 : 0, block->GetTypeName());
  drive(block);
  block->Done();
  block->Release();
  int i = 0;
  for (const HostReport& r : host.Reports()) Line(scenario, "report", i++, std::to_string(r.code) + " " + r.text);
}

void Generator(const std::string& scenario, const char* exportName, const GeneratorParams& p, int steps) {
  InProcessHost host;
  AddPorts(host);
  host.SetSamplePeriod(0.001L);
  SetAnyRecord(host, p);
  Scenario(scenario, exportName, host, [&](IModel* b) {
    b->LoadParameters();
    b->Start();
    for (int i = 0; i < steps; ++i) {
      host.SetTime(i * 0.001L);
      const auto delay = static_cast<int64_t>(b->TimeStep());
      Line(scenario, "Out", i, host.Value("Out") + " " + std::to_string(delay));
    }
  });
}

void Simple(const std::string& scenario, const char* exportName, const TransformParams& p, int samples) {
  InProcessHost host;
  AddPorts(host);
  SetAnyRecord(host, p);
  Inputs x(7), y(11);
  Scenario(scenario, exportName, host, [&](IModel* b) {
    b->LoadParameters();
    b->Start();
    for (int i = 0; i < samples; ++i) {
      // Small values first (logarithms, roots, powers), then large ones.
      const int32_t amplitude = i < samples / 2 ? 40 : 30000;
      Set(host, "DIn", x.Next(amplitude));
      Set(host, "D2In", y.Next(amplitude));
      b->InputChanged();
      Line(scenario, "DOut", i, host.Value("DOut"));
    }
  });
}

// Collects `length` samples (R high), then emits `emits` results (W high).
void Buffer(const std::string& scenario, const char* exportName, const TransformParams& p, int emits,
            int32_t amplitude) {
  InProcessHost host;
  AddPorts(host);
  SetAnyRecord(host, p);
  Inputs x(3);
  Scenario(scenario, exportName, host, [&](IModel* b) {
    b->LoadParameters();
    b->Start();
    host.SetValue("R", "1");
    for (int i = 0; i < p.SignalLength; ++i) {
      Set(host, "DIn", x.Next(amplitude));
      b->InputChanged();
    }
    host.SetValue("R", "0");
    host.SetValue("W", "1");
    for (int i = 0; i < emits; ++i) {
      b->InputChanged();
      Line(scenario, "Re", i, host.Value("DReOut"));
      Line(scenario, "Im", i, host.Value("DImOut"));
      Line(scenario, "S", i, host.Value("DSOut"));
    }
  });
}

void Filter(const std::string& scenario, const char* exportName, const FilterParams& p, int samples) {
  InProcessHost host;
  AddPorts(host);
  SetAnyRecord(host, p);
  Inputs x(5);
  Scenario(scenario, exportName, host, [&](IModel* b) {
    b->LoadParameters();
    b->Start();
    for (int i = 0; i < samples; ++i) {
      const int32_t v = x.Next(10000);
      Set(host, "DSrc", v);
      // The desired signal of the adaptive filters: the input, delayed and halved.
      Set(host, "DDes", i > 2 ? v / 2 : 0);
      b->InputChanged();
      Line(scenario, "DOut", i, host.Value("DOut"));
    }
  });
}

GeneratorParams GeneratorRecord() {
  GeneratorParams p = DefaultGeneratorParams();
  p.SinePeriod = 17;
  p.SineAmp = 30000;
  p.ModSinePeriod = 23;
  p.ModMainTone = 5;
  p.ModSineAmp = 900;
  p.ToneRelFreq = 0.0371;
  p.TonePhase = 33;
  p.ToneMag = 20000;
  p.TrnglRelFreq = 0.043;
  p.TrnglMag = 5000;
  p.TrnglASym = 0.3;
  p.WindowLen = 40;
  p.BlackLen = 40;
  p.KaiserLen = 40;
  p.WindowAmp = 30000;
  p.BlackAmp = 30000;
  p.KaiserAmp = 30000;
  p.Alpha = 3;
  p.Beta = 4;
  p.Formula.Set("sin(t*3)*900+ln(t+2)*50+t^2*7");
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--states") == 0) {
    for (const HostFloatingPointState& s : kHostFloatingPointStates) std::printf("%s\n", s.name);
    return 0;
  }
  if (argc < 2 || argc > 3 || (argc == 3 && FindHostFloatingPointState(argv[2]) == nullptr)) {
    std::fprintf(stderr, "usage: golden_values OUTFILE [HOST_STATE]\n");
    return 2;
  }
  out = std::fopen(argv[1], "wb");  // the same line ends in every build
  if (out == nullptr || !Plugin().Loaded()) {
    std::fprintf(stderr, "cannot write %s or load %s: %s\n", argv[1], RIR_PLUGIN_PATH, Plugin().Error().c_str());
    return 2;
  }
  Plugin().SetLanguage("EN");
  if (argc == 3) hostState = FindHostFloatingPointState(argv[2]);
  LoadHostFloatingPointState(*hostState);

  for (const InitExportEntry& e : kInitExports) {
    const std::string name = e.name;
    switch (e.kind) {
      case ExportKind::Generator:
        Generator(name, e.name, DefaultGeneratorParams(), 24);
        Generator(name + "/record", e.name, GeneratorRecord(), 48);
        break;
      case ExportKind::Simple: {
        TransformParams p{};
        DefaultTransformRecord(p);
        p.UserFunc.Set("t*t/7+sin(t)*3");
        p.AddSubCoef = -2.75;
        p.MpyDivCoef = 0.37;
        Simple(name, e.name, p, 40);
        break;
      }
      case ExportKind::Buffer: {
        TransformParams p{};
        DefaultTransformRecord(p);
        p.SignalLength = 32;
        p.GoertzelFrequency = 0.1875f;
        p.WinAlpha = -0.16f;
        p.WinBeta = 5.0f;
        p.ConvTapsCount = 5;
        const float taps[5] = {0.5f, -1.25f, 2.0f, 0.125f, 3.0f};
        std::memcpy(p.ConvTaps, taps, sizeof taps);
        Buffer(name, e.name, p, 34, 20000);
        break;
      }
      case ExportKind::Filter: {
        FilterParams p{};
        DefaultFilterRecord(p);
        p.FirTapsCount = 8;
        const float fir[8] = {0.02f, -0.05f, 0.1f, 0.3f, -0.7f, 1.5f, 0.9f, -0.2f};
        std::memcpy(p.FirTaps, fir, sizeof fir);
        p.IirTapsCount = 6;
        const float iir[6] = {0.0675f, 0.1349f, 0.0675f, 1.0f, -1.143f, 0.4128f};
        std::memcpy(p.IirTaps, iir, sizeof iir);
        std::memset(p.IirDelay, 0, sizeof p.IirDelay);
        p.LmsTapsCount = 6;
        p.LmsStep = 1e-9f;
        Filter(name, e.name, p, 120);
        break;
      }
      case ExportKind::Wave:
        break;  // files, not arithmetic
    }
  }
  // The power spectrum at a power of two and at a length that is none.
  for (int n : {256, 300}) {
    TransformParams p{};
    DefaultTransformRecord(p);
    p.SignalLength = n;
    Buffer("FFT_using_RCPack_RCPerm_Init/" + std::to_string(n), "FFT_using_RCPack_RCPerm_Init", p, 129, 60);
  }
  // A filter whose every output is NaN: no trap where the host unmasked one.
  {
    FilterParams p{};
    DefaultFilterRecord(p);
    p.FirTapsCount = 2;
    p.FirTaps[0] = 0.5f;
    p.FirTaps[1] = std::numeric_limits<float>::quiet_NaN();
    Filter("High_Level_FIR_Init/NaN", "High_Level_FIR_Init", p, 4);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
