// The host interface handed to the three parameter-dialog exports.
//
// Same conventions as IPELMOR in IntTypes.h: an abstract class
// without a virtual destructor, so the vtable is exactly the slot table
// below; texts are zero-terminated and owned by the host. No Qt here: the
// plug-in and hosts include this header.
//
// A host opens a block's dialog like this:
//   1. Implement IExtParameter over the block's stored record and position:
//      GetBlockTypeName answers the block's type name ("Sine", "Hann",
//      "All_in_One"); GetDataSize/GetData the stored record (296 bytes for a
//      generator; any other size means "none stored": defaults are shown);
//      GetPositionSize answers 8 and GetPosition {left, top} when a position
//      is stored; GetDirectory the plug-in folder with a trailing '/';
//      GetLanguage e.g. "RUSSIAN"; GetOwnerWindow an X11 window id or 0.
//      The texts must stay valid until the call returns.
//   2. Call the plug-in's GenersExtParams (TransExtParams, WaveExtParams)
//      with the interface. It returns when the dialog is closed.
//   3. On OK the dialog calls SetData (the whole record) and, only when the
//      user moved it, SetPosition (8 bytes); Cancel calls neither. Copy the
//      bytes at once. ShowHelp(directory + "Geners.htm#Sine") asks the host to
//      show a page (the pages ship next to the dialog module).
// The host need not be a Qt program: without a QApplication the dialog
// module makes one and keeps it. Without a reachable display the export
// shows a library message and returns.
#pragma once

#include <cstdint>

#include "IntTypes.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

struct IExtParameter : IRirUnknown {
  // "RUSSIAN" (compared in upper case) selects Russian captions.
  virtual const char* RIR_STDCALL GetLanguage() = 0;  // 3
  // The block's type name; the dialogs use the part before the first "_".
  virtual const char* RIR_STDCALL GetBlockTypeName() = 0;  // 4
  virtual void RIR_STDCALL Slot5() {}                      // 5
  // 8 when a position is stored, else anything else.
  virtual int32_t RIR_STDCALL GetPositionSize() = 0;  // 6
  // Two 32-bit signed screen coordinates: left, top.
  virtual const void* RIR_STDCALL GetPosition() = 0;                             // 7
  virtual void RIR_STDCALL SetPosition(const void* position, int32_t size) = 0;  // 8
  virtual int32_t RIR_STDCALL GetDataSize() = 0;                                 // 9
  virtual const void* RIR_STDCALL GetData() = 0;                                 // 10
  virtual void RIR_STDCALL SetData(const void* data, int32_t size) = 0;          // 11
  virtual void RIR_STDCALL Slot12() {}                                           // 12
  virtual void RIR_STDCALL Slot13() {}                                           // 13
  // The library's directory, ending with a separator; prefixes help topics.
  virtual const char* RIR_STDCALL GetDirectory() = 0;  // 14
  virtual void RIR_STDCALL Slot15() {}                 // 15
  virtual void RIR_STDCALL Slot16() {}                 // 16
  // Shows a help topic such as directory + "Geners.htm#Sine".
  virtual void RIR_STDCALL ShowHelp(const char* topic) = 0;  // 17
  // Native window id of the dialog's owner (an X11 window on Linux), 0 for none.
  virtual int32_t RIR_STDCALL GetOwnerWindow() = 0;  // 18

 protected:
  ~IExtParameter() = default;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
