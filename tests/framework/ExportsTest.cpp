// Black-box: the plug-in as a host sees it, through dlopen and the exports.
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <new>
#include <set>
#include <stdexcept>
#include <string>

#include "framework/interface/UExtParameterTypes.h"
#include "framework/BlockCatalogue.h"
#include "framework/interface/ExportList.h"
#include "framework/interface/HostExtension.h"
#include "numeric/ParameterRecords.h"
#include "support/HostFloatingPointStates.h"
#include "support/PluginFixture.h"
#include "support/RecordBytes.h"

#ifdef _WIN32
#include "dialogs/FakeExtParameter.h"
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

std::set<std::string> ExpectedExportNames() {
  std::set<std::string> names;
#define RIR_NAME(ordinal, name, ...) names.insert(#name);
  RIR_INIT_EXPORTS(RIR_NAME)
  RIR_DIALOG_EXPORTS(RIR_NAME)
#undef RIR_NAME
#ifdef _WIN32
  // Real PE ordinals replace the lookup export.
  names.insert({"RirEda_SetMessageHandler", "RirEda_SetLanguage", "RirEda_SetHostServices"});
#else
  names.insert({"RirEda_ExportByOrdinal", "RirEda_SetMessageHandler", "RirEda_SetLanguage", "RirEda_SetHostServices",
                "RirEda_TestTemplates"});
#endif
  return names;
}

#ifdef _WIN32
// The name table of the loaded DLL's export directory.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
  std::set<std::string> names;
  const auto* base =
      reinterpret_cast<const uint8_t*>(GetModuleHandleA(path.substr(path.find_last_of("/\\") + 1).c_str()));
  if (base == nullptr) return names;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dir.VirtualAddress == 0) return names;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
  return names;
}
#else
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
  std::set<std::string> names;
  FILE* nm = popen(("nm -D --defined-only '" + path + "'").c_str(), "r");
  if (nm == nullptr) return names;
  char line[512];
  while (std::fgets(line, sizeof line, nm) != nullptr) {
    char address[64], type[8], name[400];
    if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) names.insert(name);
  }
  pclose(nm);
  return names;
}
#endif

}  // namespace

TEST(Exports, OnlyTheInterfaceLeavesThePlugin) {
  ASSERT_TRUE(Plugin().Loaded()) << Plugin().Error();
  const std::set<std::string> expected = ExpectedExportNames();
#ifdef _WIN32
  EXPECT_EQ(expected.size(), 77u + 3u + 3u);
#else
  EXPECT_EQ(expected.size(), 77u + 3u + 5u);
#endif
  std::set<std::string> actual = DefinedDynamicSymbols(RIR_PLUGIN_PATH);
  // Version nodes are not symbols of ours.
  for (auto it = actual.begin(); it != actual.end();)
    it = (it->find('@') != std::string::npos) ? actual.erase(it) : ++it;
  EXPECT_EQ(actual, expected);
}

TEST(Exports, OrdinalsAnswerTheirFunctions) {
#define RIR_CHECK(ordinal, name, ...) EXPECT_EQ(Plugin().ByOrdinal(ordinal), Plugin().Symbol(#name)) << #name;
  RIR_INIT_EXPORTS(RIR_CHECK)
  RIR_DIALOG_EXPORTS(RIR_CHECK)
#undef RIR_CHECK
  EXPECT_EQ(Plugin().ByOrdinal(140), Plugin().Symbol("Kaiser_Init"));
  EXPECT_EQ(Plugin().ByOrdinal(8), Plugin().Symbol("Blackman_trans_Init"));  // code 5, ordinal 8
  EXPECT_EQ(Plugin().ByOrdinal(0), nullptr);
  EXPECT_EQ(Plugin().ByOrdinal(123), nullptr);
  EXPECT_EQ(Plugin().ByOrdinal(99999), nullptr);

  // The unnamed greeting: "Hello" every call, nothing else.
  auto hello = reinterpret_cast<void(RIR_STDCALL*)()>(Plugin().ByOrdinal(kHelloOrdinal));
  ASSERT_NE(hello, nullptr);
  ShownMessages().clear();
  hello();
  hello();
  ASSERT_EQ(ShownMessages().size(), 2u);
  EXPECT_EQ(ShownMessages()[0].text, "Hello");
  EXPECT_EQ(ShownMessages()[0].severity, 1);
}

TEST(Exports, EveryBlockConstructsWithoutPortsAndReportsIt) {
  int blocks = 0;
#define RIR_BUILD(ordinal, name, ...)              \
  {                                                \
    InProcessHost host;                            \
    PrepareHost(host);                             \
    Block block(#name, host);                      \
    ASSERT_TRUE(block) << #name;                   \
    EXPECT_FALSE(block->IsValid()) << #name;       \
    EXPECT_FALSE(host.Reports().empty()) << #name; \
    ++blocks;                                      \
  }
  RIR_INIT_EXPORTS(RIR_BUILD)
#undef RIR_BUILD
  EXPECT_EQ(blocks, 77);
}

TEST(Exports, GeneratorWithoutOutReportsTheName) {
  InProcessHost host;
  Block block("Sine_Init", host);
  ASSERT_EQ(host.Reports().size(), 1u);
  EXPECT_EQ(host.Reports()[0].code, 4);
  EXPECT_EQ(host.Reports()[0].text, "Out");
  EXPECT_FALSE(block->IsValid());
  EXPECT_STREQ(block->GetTypeName(), "");  // construction stopped before the name
  EXPECT_EQ(block->GetActivation(), 8);
}

TEST(Exports, KaiserInitIsABlackmanGenerator) {
  InProcessHost host;
  host.AddVariable("Out", vkBus, 8, kWritableFlag);
  Block block("Kaiser_Init", host);
  EXPECT_TRUE(block->IsValid());
  EXPECT_STREQ(block->GetTypeName(), "Blackman");
}

TEST(Exports, CosineAndTSineAreUnknownGenerators) {
  for (const char* name : {"Cosine", "TSine"}) {
    ShownMessages().clear();
    InProcessHost host;
    host.AddVariable("Out", vkBus, 8, kWritableFlag);
    Block block((std::string(name) + "_Init").c_str(), host);
    EXPECT_FALSE(block->IsValid()) << name;
    ASSERT_EQ(ShownMessages().size(), 1u) << name;
    EXPECT_EQ(ShownMessages()[0].severity, 0);
    EXPECT_EQ(ShownMessages()[0].text, std::string("RIR Eda Err:") + name + " - Function Name not found");
  }
}

TEST(Exports, RussianLanguageReachesTheMessages) {
  Plugin().SetLanguage("RUSSIAN");
  ShownMessages().clear();
  InProcessHost host;
  host.AddVariable("Out", vkBus, 8, kWritableFlag);
  Block block("Cosine_Init", host);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].text, "RIR Eda Err:Cosine - Не найдено имя функции");
  Plugin().SetLanguage("");
}

TEST(Exports, LifetimeEndsWithDoneAndTheHostsRelease) {
  InProcessHost host;
  host.AddVariable("Out", vkBus, 8, kWritableFlag);
  IPELMOR* ref = &host;
  IModel** self = Plugin().Init("Sine_Init")(&ref, 0);
  ASSERT_NE(self, nullptr);
  IModel* model = *self;
  EXPECT_EQ(model->AddRef(), 2u);  // SelfRef + the host's
  EXPECT_EQ(host.RefCount(), 1u);  // the block holds the host
  model->Done();
  EXPECT_EQ(*self, nullptr);        // SelfRef dropped
  EXPECT_EQ(model->Release(), 0u);  // destroyed now
  EXPECT_EQ(host.RefCount(), 0u);   // and let go of the host
}

TEST(Exports, NullHostGivesNoBlock) {
  EXPECT_EQ(Plugin().Init("Sine_Init")(nullptr, 0), nullptr);
  IPELMOR* none = nullptr;
  EXPECT_EQ(Plugin().Init("Wave_Load_Init")(&none, 0), nullptr);
}

namespace {
// A host that is not one of ours, as a circuit host is not: it logs every
// call, and an InProcessHost behind it answers.
class ForeignHost final : public IPELMOR {
 public:
  InProcessHost inner;
  std::vector<std::string> calls;
  int32_t RIR_STDCALL QueryInterface(const GUID*, void** out) override {
    calls.push_back("QueryInterface");
    *out = this;
    return kQueryOk;
  }
  uint32_t RIR_STDCALL AddRef() override { return inner.AddRef(); }
  uint32_t RIR_STDCALL Release() override { return inner.Release(); }
  void RIR_STDCALL ReportError(int32_t code, intptr_t argument) override {
    calls.push_back("ReportError " + std::to_string(code));
    inner.ReportError(code, argument);
  }
  void RIR_STDCALL AbortRun() override { calls.push_back("AbortRun"); }
  long double RIR_STDCALL GetTime() override { return Logged("GetTime", inner.GetTime()); }
  void RIR_STDCALL GetParameter(const char* name, void** data, int32_t* size) override {
    calls.push_back(std::string("GetParameter ") + name);
    inner.GetParameter(name, data, size);
  }
  uint16_t RIR_STDCALL GetVariableKind(VarHandle h) override { return Logged("Kind", inner.GetVariableKind(h)); }
  uint16_t RIR_STDCALL GetVariableFlags(VarHandle h) override { return Logged("Flags", inner.GetVariableFlags(h)); }
  long double RIR_STDCALL GetSamplePeriod() override { return Logged("Period", inner.GetSamplePeriod()); }
  int32_t RIR_STDCALL GetVariableWidth(VarHandle h) override { return Logged("Width", inner.GetVariableWidth(h)); }
  VarHandle RIR_STDCALL FindVariable(const char* name) override { return Logged(name, inner.FindVariable(name)); }
  const char* RIR_STDCALL GetValueText(VarHandle h) override { return Logged("Get", inner.GetValueText(h)); }
  void RIR_STDCALL SetValueText(VarHandle h, const char* text) override {
    calls.push_back(std::string("Set ") + text);
    inner.SetValueText(h, text);
  }
  const char* RIR_STDCALL GetLibraryDirectory() override { return Logged("Dir", inner.GetLibraryDirectory()); }

 private:
  template <typename T>
  T Logged(const char* call, T answer) {
    calls.push_back(call);
    return answer;
  }
};

// A Constant of 40000 on a 16-bit port, three steps on `host`, which
// answers from `inner`.
void RunWrappingConstant(IPELMOR* host, InProcessHost& inner) {
  GeneratorParams p = DefaultGeneratorParams();
  p.ConstantValue = 40000;
  inner.AddVariable("Out", vkBus, 16, kWritableFlag);
  inner.SetParameter("Constant_parameters", RecordBytes(p));
  IModel* block = *Plugin().Init("Constant_Init")(&host, 0);
  block->AddRef();
  block->LoadParameters();
  block->Start();
  for (int i = 0; i < 3; ++i) block->TimeStep();
  block->Done();
  block->Release();
}
}  // namespace

// Our hosts hear of every value that did not come through its port; a host
// that is not ours sees the very calls it saw before the extension existed.
TEST(Exports, ValueProblemsReachOurHostsAndNoOtherHostSeesADifference) {
  const auto setServices = reinterpret_cast<SetHostServicesExport>(Plugin().Symbol("RirEda_SetHostServices"));
  ASSERT_NE(setServices, nullptr);
  InProcessHost ours;
  RunWrappingConstant(&ours, ours);
  const ValueProblemCounts& told = ours.Store().ValueProblems(ours.Resolve("Out"));
  EXPECT_EQ(told[rvpWrapped - 1].count, 3u);
  EXPECT_EQ(told[rvpOutOfRange - 1].count + told[rvpNotANumber - 1].count, 0u);
  EXPECT_EQ(ours.Value("Out"), "1001110001000000");  // the low bits: -7232

  ForeignHost withServices;
  RunWrappingConstant(&withServices, withServices.inner);
  setServices(nullptr);
  ForeignHost without;
  RunWrappingConstant(&without, without.inner);
  InProcessHost oursWithout;
  RunWrappingConstant(&oursWithout, oursWithout);
  setServices(InProcessHostServices());
  EXPECT_EQ(withServices.calls, without.calls);
  // The one query a block makes is for the floating-point promise.
  EXPECT_EQ(std::count(withServices.calls.begin(), withServices.calls.end(), "QueryInterface"), 1);
  EXPECT_EQ(withServices.inner.Value("Out"), ours.Value("Out"));
  for (const InProcessHost* h : {&withServices.inner, &oursWithout})
    EXPECT_EQ(h->Store().ValueProblems(h->Resolve("Out"))[rvpWrapped - 1].count, 0u);
}

namespace {
// Remembers every name a block asks for.
class RecordingHost : public InProcessHost {
 public:
  VarHandle RIR_STDCALL FindVariable(const char* name) override {
    asked.push_back(name != nullptr ? name : "");
    return InProcessHost::FindVariable(name);
  }
  std::vector<std::string> asked;
};

// A variable that satisfies the port as the catalogue describes it.
void AddPortVariable(InProcessHost& host, const PortSpec& p) {
  const bool anyWidth = !p.width.HasRange() && p.width.follows < 0;
  const uint16_t vk = p.kinds == KindsOf(vkLine)            ? vkLine
                      : p.kinds == KindsOf(vkClk, vkDOTClk) ? vkClk
                      : p.kinds == kAnyKind && anyWidth     ? vkLine
                                                            : vkBus;
  const int32_t w = p.width.min == 1 && p.width.max == 1 ? 1 : p.width.factor == 2 ? 16 : 8;
  host.AddVariable(p.name, vk, w, p.direction == PortDirection::Out ? kWritableFlag : 0);
}
}  // namespace

// The catalogue's ports are exactly what each block binds, in order, with the
// direction it demands; blocks built on them are valid.
TEST(Exports, EveryBlockBindsTheCataloguePorts) {
  ASSERT_EQ(BlockTable().size(), 77u);
  for (const BlockRow& row : BlockTable()) {
    RecordingHost host;
    PrepareHost(host);
    std::vector<std::string> expected;
    for (const PortSpec& p : row.ports) {
      AddPortVariable(host, p);
      expected.push_back(p.name);
    }
    ShownMessages().clear();
    Block block(row.exportName, host);
    ASSERT_TRUE(block) << row.exportName;
    EXPECT_EQ(host.asked, expected) << row.exportName;
    const bool unknownName = row.blockClass == BlockClass::Generator && row.generatorKind < 0;
    EXPECT_EQ(block->IsValid(), !unknownName) << row.exportName;
    // Save-mode ports are only read: the block demands no writable flag.
    for (const HostReport& r : host.Reports()) EXPECT_NE(r.code, 2) << row.exportName;
    // Some classes append the width.
    EXPECT_TRUE(std::string(block->GetTypeName()).starts_with(row.typeName)) << row.exportName;
  }
  // An output without the writable flag is refused, an input never is.
  for (const char* name : {"High_Level_LMS_Init", "Low_Level_FIR_Init"}) {
    InProcessHost host;
    PrepareHost(host);
    for (const PortSpec& p : FindBlockRow(name)->ports) host.AddVariable(p.name, vkBus, 8, 0);
    Block block(name, host);
    EXPECT_FALSE(block->IsValid()) << name;
    ASSERT_EQ(host.Reports().size(), 1u) << name;
    EXPECT_EQ(host.Reports()[0].code, 2) << name;
    EXPECT_EQ(static_cast<VarHandle>(host.Reports()[0].argument), host.Resolve("DOut")) << name;
  }
}

namespace {

// A host whose services throw on demand: what a C++ host might do, and
// what must not unwind through a block into it.
// Throws from the IPELMOR calls; its blocks read and write texts, so that
// they make those calls.
struct ThrowingHost : InProcessHost {
  ThrowingHost() { OfferTypedValues(false); }
  bool throwOnFind = false;
  bool throwOnRead = false;
  bool throwOnTime = false;
  VarHandle RIR_STDCALL FindVariable(const char* name) override {
    if (throwOnFind) throw std::runtime_error("no variables today");
    return InProcessHost::FindVariable(name);
  }
  const char* RIR_STDCALL GetValueText(VarHandle handle) override {
    if (throwOnRead) throw std::bad_alloc();
    return InProcessHost::GetValueText(handle);
  }
  long double RIR_STDCALL GetTime() override {
    if (throwOnTime) throw 42;
    return InProcessHost::GetTime();
  }
};

struct ThrowingDialogHost : IExtParameter {
  int32_t RIR_STDCALL QueryInterface(const GUID*, void** out) override {
    *out = nullptr;
    return kQueryNoInterface;
  }
  uint32_t RIR_STDCALL AddRef() override { return 1; }
  uint32_t RIR_STDCALL Release() override { return 1; }
  const char* RIR_STDCALL GetLanguage() override { throw std::runtime_error("no language"); }
  const char* RIR_STDCALL GetBlockTypeName() override { return "Sine"; }
  int32_t RIR_STDCALL GetPositionSize() override { return 0; }
  const void* RIR_STDCALL GetPosition() override { return nullptr; }
  void RIR_STDCALL SetPosition(const void*, int32_t) override {}
  int32_t RIR_STDCALL GetDataSize() override { return 0; }
  const void* RIR_STDCALL GetData() override { return nullptr; }
  void RIR_STDCALL SetData(const void*, int32_t) override {}
  const char* RIR_STDCALL GetDirectory() override { return ""; }
  void RIR_STDCALL ShowHelp(const char*) override {}
  int32_t RIR_STDCALL GetOwnerWindow() override { return 0; }
};

size_t CountReports(const InProcessHost& host, int32_t code) {
  size_t n = 0;
  for (const HostReport& r : host.Reports()) n += r.code == code ? 1 : 0;
  return n;
}

}  // namespace

TEST(Exports, NoExceptionLeavesAnExportOrASlot) {
#if defined(_WIN32) && defined(__i386__)
  // Kept to the other builds. i686 mingw unwinds by DWARF tables with a
  // static unwinder in each module, which knows only its own module's frames:
  // an exception the host throws cannot pass the DLL's frames. One shared
  // unwinder would put libgcc's DLL beside the plug-in, which imports system
  // DLLs only; and COM forbids exceptions across these interfaces, so no host
  // may throw through a slot. What holds here: such a host stops at once, in
  // terminate, instead of running on with a block left half-way.
  EXPECT_DEATH(
      {
        ThrowingHost host;
        PrepareHost(host);
        host.throwOnFind = true;
        Block b("Square_Init", host);
      },
      "terminate called after throwing");
  return;
#endif
  {
    // Construction throws: the host still gets an invalid block and a report.
    ThrowingHost host;
    PrepareHost(host);
    host.AddVariable("DIn", vkBus, 8, 0, "00000000");
    host.AddVariable("DOut", vkBus, 8, kWritableFlag, "00000000");
    host.throwOnFind = true;
    Block b("Square_Init", host);
    ASSERT_TRUE(b);
    EXPECT_FALSE(b->IsValid());
    ASSERT_EQ(CountReports(host, rcMessage), 1u);
    EXPECT_NE(host.Reports().back().text.find("no variables today"), std::string::npos);
    b->LoadParameters();
    b->Start();
    b->InputChanged();
    EXPECT_EQ(b->TimeStep(), -1);
  }
  {
    // A step throws: it is undone, reported once, and the block runs no more.
    ThrowingHost host;
    PrepareHost(host);
    host.AddVariable("DIn", vkBus, 8, 0, "00000011");
    host.AddVariable("DOut", vkBus, 8, kWritableFlag, "00000000");
    Block b("Square_Init", host);
    ASSERT_TRUE(b->IsValid());
    b->LoadParameters();
    host.throwOnRead = true;
    b->InputChanged();
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(host.Value("DOut"), "00000000");
    ASSERT_EQ(CountReports(host, rcMessage), 1u);
    EXPECT_NE(host.Reports().back().text.find("InputChanged"), std::string::npos);
    host.throwOnRead = false;
    b->Start();
    b->InputChanged();
    EXPECT_EQ(host.Value("DOut"), "00000000");
    EXPECT_EQ(CountReports(host, rcMessage), 1u);
  }
  {
    // Something that is no std::exception, through TimeStep.
    ThrowingHost host;
    host.AddVariable("Out", vkBus, 8, kWritableFlag, "00000000");
    Block b("Constant_Init", host);
    ASSERT_TRUE(b->IsValid());
    host.throwOnTime = true;
    EXPECT_EQ(b->TimeStep(), -1);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(CountReports(host, rcMessage), 1u);
  }
  {
    // A dialog export shows the exception and returns.
    using DialogExport = void(RIR_STDCALL*)(IExtParameter*);
    ThrowingDialogHost params;
    for (const char* name : {"GenersExtParams", "TransExtParams", "WaveExtParams"}) {
      auto open = reinterpret_cast<DialogExport>(Plugin().Symbol(name));
      ASSERT_NE(open, nullptr) << name;
      ShownMessages().clear();
      open(&params);
      ASSERT_EQ(ShownMessages().size(), 1u) << name;
      EXPECT_EQ(ShownMessages()[0].severity, 0);
      EXPECT_NE(ShownMessages()[0].text.find("no language"), std::string::npos);
    }
  }
}

namespace {
// A host that notes whether its own floating-point state is in force in
// each of its services a block calls.
struct StateCheckingHost : InProcessHost {
  const HostFloatingPointState* state = &kHostFloatingPointStates[0];
  int calls = 0;
  int foreign = 0;
  void Note() {
    ++calls;
    if (!HostFloatingPointStateIs(*state)) ++foreign;
  }
  VarHandle RIR_STDCALL FindVariable(const char* name) override {
    Note();
    return InProcessHost::FindVariable(name);
  }
  void RIR_STDCALL GetParameter(const char* name, void** data, int32_t* size) override {
    Note();
    InProcessHost::GetParameter(name, data, size);
  }
  const char* RIR_STDCALL GetValueText(VarHandle handle) override {
    Note();
    return InProcessHost::GetValueText(handle);
  }
  void RIR_STDCALL SetValueText(VarHandle handle, const char* text) override {
    Note();
    InProcessHost::SetValueText(handle, text);
  }
};
}  // namespace

// Whatever state the host calls in, it gets it back from every export and
// slot, and its own services run in it; the library computes in its own.
TEST(Exports, TheHostsFloatingPointStateIsItsOwn) {
  for (const HostFloatingPointState& s : kHostFloatingPointStates) {
    for (const char* name : {"Sine_Init", "High_Level_IIR_Init", "Square_Root_Init"}) {
      StateCheckingHost host;
      PrepareHost(host);
      host.state = &s;
      for (const char* port : {"Out", "DOut"}) host.AddVariable(port, vkBus, 16, kWritableFlag);
      for (const char* port : {"DSrc", "DIn"}) host.AddVariable(port, vkBus, 16, 0, "0000000001100100");
      std::vector<std::string> leftInOtherState;
      const auto after = [&](const char* call) {
        if (!HostFloatingPointStateIs(s)) leftInOtherState.push_back(call);
      };
      LoadHostFloatingPointState(s);
      IPELMOR* ref = &host;
      IModel** self = Plugin().Init(name)(&ref, 0);
      after("init");
      IModel* block = self != nullptr ? *self : nullptr;
      if (block != nullptr) {
        block->AddRef();
        after("AddRef");
        block->LoadParameters();
        after("LoadParameters");
        block->Start();
        after("Start");
        block->InputChanged();
        after("InputChanged");
        block->TimeStep();
        after("TimeStep");
        block->Done();
        after("Done");
        block->Release();
        after("Release");
      }
      LoadHostFloatingPointState(kHostFloatingPointStates[0]);
      ASSERT_NE(block, nullptr) << name << " in " << s.name;
      EXPECT_TRUE(leftInOtherState.empty()) << name << " in " << s.name << ": " << leftInOtherState.front();
      EXPECT_GT(host.calls, 0) << name;
      EXPECT_EQ(host.foreign, 0) << name << " called its host in another state than " << s.name;
    }
  }
}

#ifndef _WIN32  // fork and address-space limits
TEST(Exports, AbsurdPortWidthsAreRefusedUnderAMemoryLimit) {
  ASSERT_TRUE(Plugin().Loaded());  // loaded before the limit
  struct Case {
    const char* exportName;
    const char* widePort;
  };
  const Case cases[] = {{"Sine_Init", "Out"},
                        {"Square_Init", "DOut"},
                        {"Hann_trans_Init", "DReOut"},
                        {"High_Level_FIR_Init", "DOut"},
                        {"Wave_Load_Init", "C1"}};
  // A child process takes the limit, so this runner survives whatever happens.
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{512} << 20);
    const rlimit lim{limit, limit};
    if (setrlimit(RLIMIT_AS, &lim) != 0) _exit(10);
    int failures = 0;
    for (const Case& c : cases) {
      InProcessHost host;
      PrepareHost(host);
      const int32_t huge = 2147483647;
      for (const char* port : {"Out", "DIn", "DOut", "DSrc", "DReOut", "C1"}) {
        const bool wide = std::string(port) == c.widePort || std::string(port) == "DIn";
        // The host's own text stays short: only the block may not believe the width.
        host.AddVariable(port, vkBus, wide ? huge : 8, kWritableFlag, "0");
      }
      host.AddVariable("W", vkLine, 1);
      host.AddVariable("R", vkLine, 1);
      IPELMOR* ref = &host;
      IModel** self = Plugin().Init(c.exportName)(&ref, 0);
      if (self == nullptr || *self == nullptr) {
        ++failures;
        continue;
      }
      IModel* block = *self;
      bool refused = false;
      for (const HostReport& r : host.Reports())
        refused = refused || (r.code == rcWrongWidth && r.argument == static_cast<intptr_t>(host.Resolve(c.widePort)));
      if (block->IsValid() || !refused || CountReports(host, rcMessage) != 0) {
        std::fprintf(stderr, "%s: not refused with report 3\n", c.exportName);
        ++failures;
      }
      block->Start();
      block->InputChanged();
      block->Done();
    }
#if !defined(__SANITIZE_ADDRESS__)
    // So little memory that a buffer block cannot be made at all: the host
    // still gets an answer and the process lives on.
    {
      InProcessHost host;
      PrepareHost(host);
      for (const char* port : {"DIn", "W", "R", "DReOut"}) host.AddVariable(port, vkBus, 8, kWritableFlag);
      long now = 0;
      if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &now) != 1) now = 0;
        std::fclose(f);
      }
      const rlim_t tight = static_cast<rlim_t>(now) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{64} << 10);
      const rlimit t{tight, tight};
      if (setrlimit(RLIMIT_AS, &t) != 0) _exit(11);
      IPELMOR* ref = &host;
      IModel** self = Plugin().Init("Hann_trans_Init")(&ref, 0);
      if (self != nullptr && *self != nullptr && (*self)->IsValid()) ++failures;
    }
#endif
    _exit(failures);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

#ifdef _WIN32
// Without a desktop to show them on (these suites run with no display) each
// dialog export says once, in the host's language, that its window could not
// be made, and hands nothing back. The dialogs themselves are tested on a
// display (tests/windows/dialogs).
TEST(Exports, DialogExportsWithoutADesktopSaySoAndChangeNothing) {
  for (const char* language : {"", "RUSSIAN"}) {
    for (const auto& [name, type] : {std::pair{"GenersExtParams", "Sine"}, std::pair{"TransExtParams", "Hann trans"},
                                     std::pair{"WaveExtParams", "Load Wave"}}) {
      auto open = reinterpret_cast<void(RIR_STDCALL*)(IExtParameter*)>(Plugin().Symbol(name));
      ASSERT_NE(open, nullptr) << name;
      FakeExtParameter params;
      params.language = language;
      params.typeName = type;
      params.data.assign(296, 7);
      params.position = std::vector<int32_t>{10, 20};
      ShownMessages().clear();
      open(&params);
      ASSERT_EQ(ShownMessages().size(), 1u) << name;
      const std::string expected = *language == 0 ? "could not be created" : "Не удалось создать окно";
      EXPECT_NE(ShownMessages()[0].text.find(expected), std::string::npos) << ShownMessages()[0].text;
      EXPECT_TRUE(params.dataSet.empty()) << name;
      EXPECT_TRUE(params.positionsSet.empty()) << name;
    }
  }
  Plugin().SetLanguage("");
}
#endif
