// Every block export through the in-process host with random ports, widths,
// sign modes and parameter records of any size, stepped a few hundred times
// with random inputs and strobes. Nothing may crash, escape or touch memory
// out of bounds, and every text a block writes must be a value text exactly
// as wide as its port.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/interface/ExportList.h"
#include "framework/interface/IntTypes.h"
#include "host/engine/InProcessHost.h"
#include "numeric/ParameterRecords.h"

#define RIR_DECLARE_INIT(ordinal, name, factory, arg) extern "C" IModel** RIR_STDCALL name(IPELMOR**, intptr_t);
RIR_INIT_EXPORTS(RIR_DECLARE_INIT)
#undef RIR_DECLARE_INIT
extern "C" void RirEda_SetMessageHandler(void (*handler)(int32_t, const char*, void*), void* context);

namespace {

struct Export {
  const char* name;
  InitExport init;
};
#define RIR_EXPORT_ENTRY(ordinal, name, factory, arg) {#name, &name},
const Export kExports[] = {RIR_INIT_EXPORTS(RIR_EXPORT_ENTRY)};
#undef RIR_EXPORT_ENTRY

// A folder of its own holding the signal library (a link to the build's)
// and the wave files the wave blocks write and read.
const std::string& LibraryFolder() {
  static const std::string dir = [] {
    const std::filesystem::path d =
        std::filesystem::temp_directory_path() / ("rir_record_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    std::error_code ignored;
    std::filesystem::create_directory_symlink(RIR_PLUGIN_DIR "NSPdllS", d / "NSPdllS", ignored);
    RirEda_SetMessageHandler([](int32_t, const char*, void*) {}, nullptr);
    // Blocks unload the signal library when the last user goes; its coverage
    // counters must stay mapped for the fuzzer, so it is never really unloaded.
    if (dlopen(RIR_PLUGIN_DIR "NSPdllS/NSPPX.so", RTLD_NOW | RTLD_NODELETE) == nullptr) std::abort();
    return d.string() + "/";
  }();
  return dir;
}

struct Bytes {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
};

struct Port {
  const char* name;
  uint16_t kind;
  bool output;
};
// Every port name a block binds, with a kind that usually fits.
const Port kPorts[] = {
    {"Out", vkBus, true},    {"Clk", vkClk, false},   {"DIn", vkBus, false},  {"D2In", vkBus, false},
    {"DOut", vkBus, true},   {"W", vkLine, false},    {"R", vkLine, false},   {"DReOut", vkBus, true},
    {"IBusy", vkLine, true}, {"DImOut", vkBus, true}, {"DSOut", vkBus, true}, {"DSrc", vkBus, false},
    {"DDes", vkBus, false},  {"C1", vkBus, true},     {"C2", vkBus, true},    {"isMono", vkLine, true},
    {"Test", vkBus, false},
};

int32_t Width(uint8_t b) {
  switch (b % 16) {
    case 0:
      return 0;
    case 1:
      return 255;
    case 2:
      return 256;
    case 3:
      return 2147483647;
    case 4:
      return -5;
    default:
      return 1 + b % 40;
  }
}

// Every written text must be exactly as wide as its port, of '0' and '1'.
// An invalid wave block writes its "all-zero value" of no width: empty.
void CheckTexts(const InProcessHost& host, bool valid) {
  for (const HostVariable& v : const_cast<InProcessHost&>(host).Store().All()) {
    if (v.changes == 0) continue;
    const std::string value = TextOf(v);
    if (v.name == "IBusy" || v.name == "isMono") {
      if (value != "0" && value != "1") std::abort();  // a flag, whatever the port
      continue;
    }
    if (!valid && value.empty()) continue;
    const size_t width = v.width > 0 && v.width < 4096 ? static_cast<size_t>(v.width) : 0;
    if (width == 0 && v.width > 0) std::abort();  // an absurd port was written
    if (value.size() != width) {
      std::fprintf(stderr, "%s width %d text \"%s\"\n", v.name.c_str(), v.width, value.c_str());
      std::abort();
    }
    if (value.find_first_not_of("01") != std::string::npos) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& folder = LibraryFolder();
  Bytes in{data, size};
  const Export& ex = kExports[in.Byte() % std::size(kExports)];
  const uint32_t present = in.Word() | (in.Byte() << 16);
  const uint8_t widthByte = in.Byte();
  const uint8_t shape = in.Byte();

  InProcessHost host;
  host.SetLibraryDirectory(folder);
  host.SetSamplePeriod(1 + in.Byte() % 8);
  const int32_t width = Width(widthByte);
  for (size_t i = 0; i < std::size(kPorts); ++i) {
    const Port& p = kPorts[i];
    if ((present & (1u << i)) == 0) continue;
    uint16_t kind = p.kind;
    if (shape & 1) kind = static_cast<uint16_t>((shape >> 1) % 6);  // sometimes a wrong kind
    int32_t w = kind == vkLine || kind == vkClk ? 1 : width;
    if (std::strcmp(p.name, "DSOut") == 0 && (shape & 0x10) == 0) w = 2 * (width > 0 && width < 256 ? width : 1);
    if (std::strcmp(p.name, "Test") == 0) w = 8;
    const uint16_t flags = p.output || (shape & 0x20) ? kWritableFlag : 0;
    // The host keeps a short text for an absurd width: only the block is tested.
    host.AddVariable(p.name, kind, w, flags, std::string(w > 0 && w < 4096 ? static_cast<size_t>(w) : 1, '0'));
  }
  if (shape & 0x40) host.SetIntParameter("SignValue", in.Byte() % 3);

  // A record of any size, most often of a size some block accepts.
  static const size_t kSizes[] = {sizeof(GeneratorParams), sizeof(TransformParams), sizeof(FilterParams),
                                  sizeof(WaveParams)};
  const uint16_t sizeWord = in.Word();
  const size_t recordSize = sizeWord & 0x8000 ? (sizeWord & 0x7FF) : kSizes[sizeWord % std::size(kSizes)];
  std::vector<uint8_t> record(recordSize);
  for (uint8_t& b : record) b = in.Byte();
  if (recordSize == sizeof(WaveParams)) {
    // Wave files stay inside the fuzzer's folder, under two names.
    WaveParams w;
    std::memcpy(&w, record.data(), sizeof w);
    w.FileName.Set(w.Sound % 2 == 0 ? "a.wav" : "b.wav");
    std::memcpy(record.data(), &w, sizeof w);
  }
  const bool hasRecord = (shape & 0x80) == 0;
  if (hasRecord) host.SetRecord(record);

  IPELMOR* ref = &host;
  IModel** self = ex.init(&ref, 0);
  if (self == nullptr || *self == nullptr) std::abort();  // a host always gets a block
  IModel* block = *self;
  block->AddRef();
  const bool valid = block->IsValid();
  block->GetTypeName();
  block->LoadParameters();
  block->Start();
  const bool timeDriven = block->GetActivation() == kTimeDriven;
  const uint8_t* stream = in.data;
  const size_t streamSize = in.size;
  for (int step = 0; step < 300; ++step) {
    const uint8_t b = streamSize > 0 ? stream[step % streamSize] : static_cast<uint8_t>(step);
    const uint8_t c = streamSize > 1 ? stream[(step * 7 + 1) % streamSize] : 0;
    for (const char* name : {"DIn", "D2In", "DSrc", "DDes"}) {
      const VarHandle h = host.Resolve(name);
      const HostVariable* v = host.Store().Get(h);
      if (v == nullptr) continue;
      std::string text = TextOf(*v);
      if (text.empty()) continue;
      for (size_t i = 0; i < text.size(); ++i) text[i] = ((b * 131 + c * (i + 3)) >> (i % 7)) & 1 ? '1' : '0';
      host.SetValue(name, text);
    }
    host.SetValue("R", b & 1 ? "1" : "0");
    host.SetValue("W", b & 2 ? "1" : "0");
    host.SetValue("Clk", step % 2 ? "1" : "0");
    host.SetTime(step);
    if (c == 0x5A) block->LoadParameters();
    if (c == 0xA5) block->Start();
    if (timeDriven)
      block->TimeStep();
    else
      block->InputChanged();
    CheckTexts(host, valid);
  }
  block->Done();
  block->Release();
  return 0;
}
