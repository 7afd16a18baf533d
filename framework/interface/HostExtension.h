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
// - Array steps: a block that can make many InputChanged steps in one call
//   offers them (OfferArraySteps, in its construction); the host then may
//   call RirEdaArraySteps::InputChangedOver instead of InputChanged, with
//   every port's samples as 32-bit integers, and hears of the values that
//   did not come through with their step (ValueProblemAt).
// - Steps ahead: a block whose array steps offer InputChangedAt computes
//   each step from its inputs and its own state alone, and never aborts a
//   run in one: a host may make its steps for a stretch of time points
//   before or after other blocks' steps of the same time points.
//
// Typed values: a host that fills ReadValue, WriteValue and RoundedTime lets
// its blocks read and write ports as integers, with no text. A block that
// finds all three (at construction) uses them for every read and write of a port value
// instead of GetValueText and SetValueText; a host must then answer them for
// every variable it hands out, as it would answer the texts. A value is the
// integer form of the text the block would have read or written, one word:
// bits 0..31 the low 32 bits the text reads as an unsigned binary number
// ('1' is a one, any other character a zero), bits 32..62 its length, bit 63
// set when its first character is '1'. Every text a block writes is
// recovered exactly from its word (it has '0' beyond the low 32 digits but
// the first), so a host may keep words instead of texts and form a text
// only when one is asked for (IntToBits of the low bits over the length,
// then the first digit; framework/ValueBits.h). Equal texts are equal words.
//
// Value words: a host that keeps every variable's word in one place, not
// moved while its blocks live, tells a block where (ValueWords); the block
// then reads a value as a load of its word instead of calling ReadValue, and
// the rounded time likewise instead of calling RoundedTime.
//
// Inactive calls: a block that does nothing in InputChanged while a variable
// does not read high (its word is not that of "1") says so in its
// construction (ActsOnlyWhileHigh); the host may then leave those calls out.
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

// One port's samples over the steps of an array call, one per step.
struct RirEdaArrayPort {
  VarHandle variable;
  // An input's samples as the block reads them, each one a value the port
  // carries (what its text decodes to in the block's sign mode); an output's
  // as the port reads back what the block wrote.
  int32_t* samples;
};

// One output port's words over the steps of an InputChangedAt call.
struct RirEdaWordPort {
  VarHandle variable;
  uint64_t* words;
};

// What a block offers a host of ours beside IModel: its steps over whole
// arrays. Owned by the block, valid until its Done; called as its IModel
// slots are.
struct RirEdaArraySteps {
  uint32_t size;  // sizeof(RirEdaArraySteps) as the block compiled it
  void* context;  // the block's, passed back in every call
  // `count` InputChanged calls in a row, the k-th with every input holding
  // its samples[k]: fills every output's samples[k], tells each value problem
  // of step k through ValueProblemAt and leaves the output holding the last
  // value. `ports` must name every port the block reads or writes; answers
  // the steps made: `count`, or 0 when it made none (a port not named, a
  // block that cannot step so now): the host then steps one by one. Null
  // where the block offers InputChangedAt alone.
  int32_t(RIR_STDCALL* InputChangedOver)(void* context, int32_t count, const RirEdaArrayPort* ports, int32_t portCount);
  // `count` InputChanged calls at model times times[k] (increasing), the
  // k-th with every input holding its samples[k], as InputChangedOver makes
  // them, but leaving the host's variables alone: wrote[k] is 1 when step k
  // wrote the block's outputs, else 0, and where it is 1 every output's
  // words[k] receives the word step k wrote (the form WriteValue takes).
  // `inputs` must name every port the block reads, `outputs` every one it
  // writes. Answers the steps made, `count` or 0. Null for a block that does
  // not keep to itself as stepping ahead asks.
  int32_t(RIR_STDCALL* InputChangedAt)(void* context, int32_t count, const int64_t* times,
                                       const RirEdaArrayPort* inputs, int32_t inputCount, const RirEdaWordPort* outputs,
                                       int32_t outputCount, uint8_t* wrote);
  // Nonzero when the block's steps draw on a source it shares with other
  // blocks (the random generators' one uniform source): a host steps it
  // ahead only where no other block it runs says so.
  uint32_t sharesSource;
};

// Where a host keeps its variables' values: the word of variable h
// (1 <= h <= count) is the eight bytes at base + (h - 1) * stride, in the
// machine's byte order, and always holds what ReadValue would answer.
struct RirEdaValueWords {
  uint32_t size;    // sizeof(RirEdaValueWords) as the host compiled it
  uint32_t stride;  // bytes from one variable's word to the next
  const void* base;
  uint32_t count;
  // Always holds what RoundedTime would answer (null: ask RoundedTime).
  const int64_t* roundedTime;
};

// One block's host, as the block sees it beside IPELMOR.
struct RirEdaHostExtension {
  uint32_t size;  // sizeof(RirEdaHostExtension) as the host compiled it
  void* context;  // the host's, passed back in every call
  // The value the block has just written to its output `variable` (with
  // SetValueText or WriteValue) is not what it computed: `problem` says why.
  void(RIR_STDCALL* ValueProblem)(void* context, VarHandle variable, int32_t problem);
  // The value of `variable` as a word (GetValueText's text in integer form).
  uint64_t(RIR_STDCALL* ReadValue)(void* context, VarHandle variable);
  // Sets `variable` to the value of `word`, exactly as SetValueText with its
  // text would (a write of an equal value included).
  void(RIR_STDCALL* WriteValue)(void* context, VarHandle variable, uint64_t word);
  // GetTime rounded to the nearest integer, ties to even: the step a block
  // is at, with no long double crossing.
  int64_t(RIR_STDCALL* RoundedTime)(void* context);
  // The block offers its array steps (null: it offers none) once it is
  // built on this host.
  void(RIR_STDCALL* OfferArraySteps)(void* context, const RirEdaArraySteps* steps);
  // As ValueProblem, for the value of step `step` of an InputChangedOver call.
  void(RIR_STDCALL* ValueProblemAt)(void* context, VarHandle variable, int32_t problem, int32_t step);
  // Where the values of the variables this host hands out lie, asked once in
  // a block's construction; null when the host cannot promise them a place.
  // The table and the words stay where they are while the block lives.
  const RirEdaValueWords*(RIR_STDCALL* ValueWords)(void* context);
  // The block being built does nothing in InputChanged while `variable`
  // does not read high: the host may skip those calls. At most once per block.
  void(RIR_STDCALL* ActsOnlyWhileHigh)(void* context, VarHandle variable);
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
