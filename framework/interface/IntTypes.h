// The binary interface between the host and the block library.
//
// On x86-64 Linux the interfaces are C++ abstract classes without a virtual
// destructor, so each vtable is exactly the slot table written below, in
// order. Booleans are one byte, handles 32 bits, texts zero-terminated and
// owned by the sender. Other hosts are written against this layout: never
// reorder, insert or remove a slot.
#pragma once

#include <cstdint>
#include <cstring>

// The host's calling convention: stdcall on 32-bit Windows, the platform's
// own convention everywhere else.
#if defined(_WIN32) && defined(__i386__)
#define RIR_STDCALL __stdcall
#else
#define RIR_STDCALL
#endif

// TimeStep's 64-bit delay. The 32-bit Windows host reads it from the x87
// result register as a 64-bit integer; an 80-bit long double holds every
// 64-bit integer exactly and is returned there.
#if defined(_WIN32) && defined(__i386__)
using TimeStepResult = long double;
#else
using TimeStepResult = int64_t;
#endif

// Interface identifier in the component-object-model layout (on Windows the
// platform's own, same layout, so <windows.h> can be included alongside).
#ifdef _WIN32
#include <guiddef.h>
#else
struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
#endif
static_assert(sizeof(GUID) == 16);

using VarHandle = uint32_t;  // 0 = no variable

// Variable kinds as the host reports them.
enum VariableKind : uint16_t {
  vkLine = 0,
  vkDOT = 1,
  vkClk = 2,
  vkDOTClk = 3,
  vkBus = 4,
  vkDOTBus = 5,
};

// Flag bit the host sets on every variable a block may write.
constexpr uint16_t kWritableFlag = 1;

// Result codes of QueryInterface.
constexpr int32_t kQueryOk = 0;
constexpr int32_t kQueryNoInterface = static_cast<int32_t>(0x80004002u);

// ReportError codes.
enum ReportCode : int32_t {
  rcWrongKindOrFlags = 2,  // argument: handle
  rcWrongWidth = 3,        // argument: handle
  rcNotFound = 4,          // argument: address of the port name
  rcReserved21 = 6,        // argument: 0
  rcMessage = 8,           // argument: address of a free text
};

// Block activation as answered by GetActivation.
constexpr int32_t kTimeDriven = 8;
constexpr int32_t kInputDriven = 4;

// True for the all-zero identifier and for IUnknown's: the only interfaces
// either side answers.
inline bool IsKnownInterfaceId(const GUID* iid) {
  static constexpr GUID kZero = {};
  static constexpr GUID kUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  return iid != nullptr &&
         (std::memcmp(iid, &kZero, sizeof(GUID)) == 0 || std::memcmp(iid, &kUnknown, sizeof(GUID)) == 0);
}

// Our own hosts' promise, asked once per block through IPELMOR's
// QueryInterface: a host that answers this identifier calls every slot of
// the blocks it makes with the library's floating-point state in force
// (x87 0x037F, MXCSR 0x1F80), so that the slots need not check it. Every
// other host gets its own state back from every slot.
inline constexpr GUID kLibraryStateHostId = {
    0x8251343A, 0xDECB, 0x4143, {0x8F, 0x1C, 0x5E, 0xEC, 0x83, 0x29, 0x5F, 0x5D}};

inline bool IsInterfaceId(const GUID* iid, const GUID& id) {
  return iid != nullptr && std::memcmp(iid, &id, sizeof(GUID)) == 0;
}

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

struct IRirUnknown {
  virtual int32_t RIR_STDCALL QueryInterface(const GUID* iid, void** out) = 0;  // 0
  virtual uint32_t RIR_STDCALL AddRef() = 0;                                    // 1
  virtual uint32_t RIR_STDCALL Release() = 0;                                   // 2

 protected:
  ~IRirUnknown() = default;
};

// The block interface. The host calls every slot, one call at a time;
// texts a slot returns are owned by the block.
struct IModel : IRirUnknown {
  virtual int32_t RIR_STDCALL Reserved3() = 0;                            // 3
  virtual bool RIR_STDCALL IsValid() = 0;                                 // 4
  virtual int32_t RIR_STDCALL GetActivation() = 0;                        // 5
  virtual int32_t RIR_STDCALL GetAuxValue() = 0;                          // 6
  virtual void RIR_STDCALL Start() = 0;                                   // 7
  virtual void RIR_STDCALL InputChanged() = 0;                            // 8
  virtual TimeStepResult RIR_STDCALL TimeStep() = 0;                      // 9
  virtual void RIR_STDCALL LoadParameters() = 0;                          // 10
  virtual void RIR_STDCALL Reserved11() = 0;                              // 11
  virtual void RIR_STDCALL Done() = 0;                                    // 12
  virtual int32_t RIR_STDCALL Reserved13(int32_t, const char** out) = 0;  // 13
  virtual int32_t RIR_STDCALL Reserved14(int32_t) = 0;                    // 14
  virtual int32_t RIR_STDCALL Reserved15() = 0;                           // 15
  virtual int32_t RIR_STDCALL Reserved16() = 0;                           // 16
  virtual int32_t RIR_STDCALL Reserved17() = 0;                           // 17
  virtual void RIR_STDCALL Reserved18() = 0;                              // 18
  virtual void RIR_STDCALL Reserved19() = 0;                              // 19
  // Valid while the block lives and its type name is unchanged.
  virtual const char* RIR_STDCALL GetTypeName() = 0;    // 20
  virtual void RIR_STDCALL Reserved21() = 0;            // 21
  virtual void RIR_STDCALL Reserved22() = 0;            // 22
  virtual void RIR_STDCALL Reserved23(int32_t) = 0;     // 23
  virtual int32_t RIR_STDCALL Reserved24(int32_t) = 0;  // 24
  virtual void RIR_STDCALL Reserved25(int32_t) = 0;     // 25
  virtual int32_t RIR_STDCALL Reserved26() = 0;         // 26

 protected:
  ~IModel() = default;
};

// Host services. Blocks call them, from the host's own calls into the block.
// Texts passed in are owned by the caller and valid during the call; texts
// and data handed out are owned by the host and copied at once. Slots the
// blocks never call are placeholders that keep the positions; they have
// empty default bodies so a host need not write them.
struct IPELMOR : IRirUnknown {
  virtual void RIR_STDCALL Slot3() {}  // 3
  // The argument of codes 4 and 8 is the address of a text of the block's.
  virtual void RIR_STDCALL ReportError(int32_t code, intptr_t argument) = 0;  // 4
  virtual void RIR_STDCALL AbortRun() = 0;                                    // 5
  virtual void RIR_STDCALL Slot6() {}                                         // 6
  virtual long double RIR_STDCALL GetTime() = 0;                              // 7
  // *data is 0 when nothing is stored; the bytes stay the host's.
  virtual void RIR_STDCALL GetParameter(const char* name, void** data, int32_t* size) = 0;  // 8
  virtual void RIR_STDCALL Slot9() {}                                                       // 9
  virtual uint16_t RIR_STDCALL GetVariableKind(VarHandle handle) = 0;                       // 10
  virtual uint16_t RIR_STDCALL GetVariableFlags(VarHandle handle) = 0;                      // 11
  virtual void RIR_STDCALL Slot12() {}                                                      // 12
  virtual long double RIR_STDCALL GetSamplePeriod() = 0;                                    // 13
  virtual int32_t RIR_STDCALL GetVariableWidth(VarHandle handle) = 0;                       // 14
  virtual void RIR_STDCALL Slot15() {}                                                      // 15
  virtual VarHandle RIR_STDCALL FindVariable(const char* name) = 0;                         // 16
  virtual void RIR_STDCALL Slot17() {}                                                      // 17
  // Valid until the next host call; the reader copies it.
  virtual const char* RIR_STDCALL GetValueText(VarHandle handle) = 0;  // 18
  virtual void RIR_STDCALL Slot19() {}                                 // 19
  // The host takes a copy.
  virtual void RIR_STDCALL SetValueText(VarHandle handle, const char* text) = 0;  // 20
  virtual void RIR_STDCALL Slot21() {}                                            // 21
  virtual void RIR_STDCALL Slot22() {}                                            // 22
  virtual void RIR_STDCALL Slot23() {}                                            // 23
  virtual void RIR_STDCALL Slot24() {}                                            // 24
  virtual void RIR_STDCALL Slot25() {}                                            // 25
  virtual void RIR_STDCALL Slot26() {}                                            // 26
  virtual void RIR_STDCALL Slot27() {}                                            // 27
  virtual void RIR_STDCALL Slot28() {}                                            // 28
  virtual void RIR_STDCALL Slot29() {}                                            // 29
  virtual void RIR_STDCALL Slot30() {}                                            // 30
  virtual void RIR_STDCALL Slot31() {}                                            // 31
  virtual void RIR_STDCALL Slot32() {}                                            // 32
  virtual void RIR_STDCALL Slot33() {}                                            // 33
  virtual void RIR_STDCALL Slot34() {}                                            // 34
  virtual void RIR_STDCALL Slot35() {}                                            // 35
  virtual void RIR_STDCALL Slot36() {}                                            // 36
  virtual const char* RIR_STDCALL GetLibraryDirectory() = 0;                      // 37

 protected:
  ~IPELMOR() = default;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// Dialog interface; defined with the dialogs.
struct IExtParameter;

// Signature of every block initialisation export.
using InitExport = IModel**(RIR_STDCALL*)(IPELMOR** hostRef, intptr_t unused);
