// The 32-bit interface as a host that is no C++ compiler sees it: every
// export and every IModel slot is called through a hand-written thunk that
// checks what the callee leaves behind. i686 only.
//
// Per call: the callee removed its arguments (stdcall; the two cdecl exports
// leave them), no argument travels in ECX (it holds garbage at the call),
// EBX, ESI, EDI and EBP survive, the x87 stack is empty afterwards except for
// st(0) where the slot returns there (TimeStep), and the x87 control word and
// the MXCSR are the host's, whichever state a host calls in. Every call also
// runs with the stack off 16-byte alignment.
#include <windows.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "framework/interface/ExportList.h"
#include "support/HostFloatingPointStates.h"
#include "support/PluginFixture.h"
#include "ExportKinds.h"

static_assert(sizeof(void*) == 4, "the probe is for the 32-bit interface");

namespace {

struct ProbeCall {
  void* fn;             // 0
  uint32_t argc;        // 4
  uint32_t args[6];     // 8
  uint32_t pad;         // 32: bytes below a 16-byte boundary before the arguments
  uint16_t cwSet;       // 36: the control word the callee starts with
  uint16_t cwAfter;     // 38
  int32_t espDelta;     // 40: stack pointer after the call minus before the arguments
  uint32_t eax;         // 44
  uint32_t edx;         // 48
  uint32_t esi;         // 52
  uint32_t edi;         // 56
  uint32_t espAtCall;   // 60
  uint8_t env[28];      // 64: x87 environment after the call
  uint8_t st0[10];      // 92: st(0) after the call
  uint32_t mxcsrSet;    // 104: the MXCSR the callee starts with
  uint32_t mxcsrAfter;  // 108
};
static_assert(offsetof(ProbeCall, cwSet) == 36 && offsetof(ProbeCall, espAtCall) == 60 &&
              offsetof(ProbeCall, env) == 64 && offsetof(ProbeCall, st0) == 92 &&
              offsetof(ProbeCall, mxcsrSet) == 104 && offsetof(ProbeCall, mxcsrAfter) == 108);

}  // namespace

extern "C" void __cdecl RirProbeCall(ProbeCall* call);

// cdecl, one argument. The x87 unit starts empty with the control word asked
// for, the MXCSR as asked for; ECX, EAX and EDX hold garbage and ESI, EDI
// canaries at the call.
asm(R"(
  .text
  .globl _RirProbeCall
  .def _RirProbeCall; .scl 2; .type 32; .endef
_RirProbeCall:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  subl $8, %esp
  fnstcw (%esp)
  stmxcsr 4(%esp)
  movl 8(%ebp), %ebx
  andl $-16, %esp
  subl 32(%ebx), %esp
  movl %esp, 40(%ebx)
  movl 4(%ebx), %ecx
1:
  testl %ecx, %ecx
  jz 2f
  pushl 4(%ebx,%ecx,4)
  decl %ecx
  jmp 1b
2:
  movl %esp, 60(%ebx)
  fninit
  fldcw 36(%ebx)
  ldmxcsr 104(%ebx)
  movl $0x51515151, %esi
  movl $0xD1D1D1D1, %edi
  movl $0x0BADC0DE, %ecx
  movl $0x0BADC0DE, %eax
  movl $0x0BADC0DE, %edx
  call *(%ebx)
  movl %eax, 44(%ebx)
  movl %edx, 48(%ebx)
  movl %esi, 52(%ebx)
  movl %edi, 56(%ebx)
  movl %esp, %eax
  subl 40(%ebx), %eax
  movl %eax, 40(%ebx)
  fnstcw 38(%ebx)
  stmxcsr 108(%ebx)
  fnstenv 64(%ebx)
  fstpt 92(%ebx)
  fninit
  leal -20(%ebp), %esp
  fldcw (%esp)
  ldmxcsr 4(%esp)
  addl $8, %esp
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

namespace {

enum class Convention { Stdcall, Cdecl };
enum class Result { Registers, X87 };

// Each call is made in the next host state other than the default one: a
// callee that resets the unit (fninit) or keeps its own state changes it.
const HostFloatingPointState& NextHostState() {
  static size_t next = 0;
  constexpr size_t kForeign = std::size(kHostFloatingPointStates) - 1;
  return kHostFloatingPointStates[1 + next++ % kForeign];
}
// Stack pointer residues at the call: aligned, and the three misalignments.
constexpr uint32_t kResidues[] = {0, 4, 8, 12};

struct Outcome {
  uint32_t eax = 0;
  long double st0 = 0;
};

// Calls fn through the thunk with the stack at `residue` modulo 16 and
// checks everything the callee must leave as it was.
Outcome Probe(const std::string& what, void* fn, std::vector<uint32_t> args, uint32_t residue = 4,
              Convention convention = Convention::Stdcall, Result result = Result::Registers) {
  ProbeCall c{};
  c.fn = fn;
  c.argc = static_cast<uint32_t>(args.size());
  std::memcpy(c.args, args.data(), 4 * args.size());
  c.pad = (32 - (residue + 4 * c.argc) % 16) % 16;
  const HostFloatingPointState& host = NextHostState();
  c.cwSet = host.x87;
  c.mxcsrSet = host.mxcsr;
  RirProbeCall(&c);
  const std::string at = what + " (stack at " + std::to_string(residue) + " mod 16, host state " + host.name + ")";
  EXPECT_EQ(c.espAtCall % 16, residue) << at;
  EXPECT_EQ(c.espDelta, convention == Convention::Stdcall ? 0 : -4 * static_cast<int32_t>(c.argc))
      << at << ": the arguments were not removed as the convention says";
  EXPECT_EQ(c.esi, 0x51515151u) << at << ": ESI changed";
  EXPECT_EQ(c.edi, 0xD1D1D1D1u) << at << ": EDI changed";
  EXPECT_EQ(c.cwAfter | 0x40, host.x87 | 0x40) << at << ": the x87 control word changed";  // bit 6 reads as 1
  EXPECT_EQ(c.mxcsrAfter & kMxcsrControlBits, host.mxcsr & kMxcsrControlBits) << at << ": the MXCSR changed";
  uint16_t tags = 0;
  std::memcpy(&tags, c.env + 8, sizeof tags);
  int used = 0;
  for (int r = 0; r < 8; ++r) used += ((tags >> (2 * r)) & 3) != 3 ? 1 : 0;
  EXPECT_EQ(used, result == Result::X87 ? 1 : 0) << at << ": x87 registers in use after the call";
  Outcome o;
  o.eax = c.eax;
  std::memcpy(&o.st0, c.st0, sizeof c.st0);
  return o;
}

uint32_t Arg(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

void* Slot(IModel* block, int index) { return (*reinterpret_cast<void***>(block))[index]; }

std::string TempFolder() {
  char path[MAX_PATH];
  const DWORD n = GetTempPathA(MAX_PATH, path);
  return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string(".\\");
}

// Builds a block through the thunk, runs its steps at every stack residue and
// then calls each of its 27 slots.
void ProbeBlock(const InitExportEntry& e) {
  InProcessHost host;
  PrepareHost(host);
  AddAllPorts(host, 32);
  switch (e.kind) {
    case ExportKind::Generator:
      SetAnyRecord(host, DefaultGeneratorParams());
      break;
    case ExportKind::Simple:
    case ExportKind::Buffer: {
      TransformParams p{};
      DefaultTransformRecord(p);
      p.SignalLength = 8;
      SetAnyRecord(host, p);
      break;
    }
    case ExportKind::Filter: {
      FilterParams p{};
      DefaultFilterRecord(p);
      SetAnyRecord(host, p);
      break;
    }
    case ExportKind::Wave:
      host.SetLibraryDirectory(TempFolder());  // whatever a save block writes goes there
      break;
  }
  const std::string name = e.name;
  IPELMOR* ref = &host;
  const Outcome made = Probe(name, Plugin().Symbol(e.name), {Arg(&ref), 0});
  auto self = reinterpret_cast<IModel**>(made.eax);
  ASSERT_TRUE(self != nullptr && *self != nullptr) << name;
  IModel* block = *self;
  const uint32_t b = Arg(block);
  Probe(name + " AddRef", Slot(block, 1), {b});

  for (uint32_t residue : kResidues) {
    Probe(name + " LoadParameters", Slot(block, 10), {b}, residue);
    Probe(name + " Start", Slot(block, 7), {b}, residue);
    for (int i = 0; i < 6; ++i) {
      host.SetValue("R", i < 4 ? "1" : "0");
      host.SetValue("W", i < 4 ? "0" : "1");
      host.SetValue("DIn", std::string(31, '0') + (i % 2 ? "1" : "0"));
      Probe(name + " InputChanged", Slot(block, 8), {b}, residue);
      const Outcome t = Probe(name + " TimeStep", Slot(block, 9), {b}, residue, Convention::Stdcall, Result::X87);
      EXPECT_TRUE(t.st0 >= -1 && t.st0 == std::floor(t.st0)) << name << " TimeStep answered " << double(t.st0);
    }
  }

  static const GUID kUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  void* queried = nullptr;
  const char* text = nullptr;
  for (int slot = 0; slot < 27; ++slot) {
    std::vector<uint32_t> args = {b};
    if (slot == 0) args = {b, Arg(&kUnknown), Arg(&queried)};
    if (slot == 13) args = {b, 0, Arg(&text)};
    if (slot == 14 || (slot >= 23 && slot <= 25)) args.push_back(0);
    Probe(name + " slot " + std::to_string(slot), Slot(block, slot), args, 12, Convention::Stdcall,
          slot == 9 ? Result::X87 : Result::Registers);
  }
  EXPECT_EQ(queried, block) << name;
  // QueryInterface's reference, then ours; Done ran among the slots.
  Probe(name + " Release", Slot(block, 2), {b}, 8);
  Probe(name + " Release", Slot(block, 2), {b}, 0);
}

std::vector<ShownMessage> probeMessages;
void ProbeMessage(int32_t severity, const char* text, void*) { probeMessages.push_back({severity, text ? text : ""}); }

}  // namespace

TEST(StdcallProbe, EveryInitExportAndEverySlot) {
  ASSERT_TRUE(Plugin().Loaded()) << Plugin().Error();
  for (const InitExportEntry& e : kInitExports) {
    SCOPED_TRACE(e.name);
    ProbeBlock(e);
  }
}

TEST(StdcallProbe, DialogExportsTheGreetingAndTheCdeclExports) {
  ASSERT_TRUE(Plugin().Loaded()) << Plugin().Error();
  for (uint32_t residue : kResidues) {
#define RIR_PROBE_DIALOG(ordinal, name) Probe(#name, Plugin().Symbol(#name), {0}, residue);
    RIR_DIALOG_EXPORTS(RIR_PROBE_DIALOG)
#undef RIR_PROBE_DIALOG
    Probe("RirEda_SetMessageHandler", Plugin().Symbol("RirEda_SetMessageHandler"),
          {Arg(reinterpret_cast<void*>(&ProbeMessage)), 0}, residue, Convention::Cdecl);
    Probe("RirEda_SetLanguage", Plugin().Symbol("RirEda_SetLanguage"), {Arg("EN")}, residue, Convention::Cdecl);
    Probe("RirEda_SetHostServices", Plugin().Symbol("RirEda_SetHostServices"), {Arg(InProcessHostServices())}, residue,
          Convention::Cdecl);
    probeMessages.clear();
    Probe("Hello", Plugin().ByOrdinal(kHelloOrdinal), {}, residue);
    ASSERT_EQ(probeMessages.size(), 1u);
    EXPECT_EQ(probeMessages[0].text, "Hello");
  }
}
