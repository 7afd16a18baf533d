// The C interface between the plug-in and its dialog module
// librir_eda_dialogs.so. No Qt and no other header of the tree here: the
// plug-in, the module, hosts and tests all include it from below.
//
// The module keeps no library state of its own: messages, the language, the
// catalogue lookups, the formula check and the waveform code are the
// plug-in's, reached through the service table the plug-in passes in.
#pragma once

#include <cstdint>

struct IExtParameter;

// The dialog code of a type name the catalogue does not know: the dialog
// code of catalogue code -1. The transform dialog then keeps no tree item
// and shows its empty page.
constexpr int32_t kRirUnknownDialogCode = 29;

struct RirDialogServices {
  uint32_t size;  // sizeof(RirDialogServices), for later growth
  // Library messages, shown through the plug-in's one presenter.
  void (*showError)(int32_t number, const char* arg);
  void (*showInfo)(int32_t number);
  // Generator kind of a type name; shows message 22 and gives -1 when unknown.
  int32_t (*generatorKindOf)(const char* typeName);
  // Help topic of a generator kind ("Geners.htm#Sine"), "" outside the table.
  const char* (*generatorHelpTopic)(int32_t kind);
  // Fills a 296-byte generator record with its defaults.
  void (*generatorDefaults)(void* record);
  // Checks a formula at t = 0..100; shows message 15 at the first failure
  // and answers false. Null when the evaluator is not available.
  bool (*checkFormula)(const char* formula);
  // Prepares a private copy of the 296-byte record and fresh state for
  // `kind`, then stores `count` samples for t = 0..count-1, each rounded to
  // the nearest integer. Null when the waveform code is not available.
  void (*generatorPreview)(int32_t kind, const void* record, int32_t count, int64_t* out);
  // Catalogue lookups of the transform dialog. dialogCodeOf shows message 22
  // for an unknown name and gives kRirUnknownDialogCode.
  int32_t (*dialogCodeOf)(const char* typeName);
  int32_t (*groupOfCode)(int32_t code);
  bool (*isFilterCode)(int32_t code);
};

enum RirDialogStatus : int32_t {
  rdsShown = 0,         // the dialog ran (OK or Cancel)
  rdsNoDisplay = 1,     // no display could be reached; nothing was shown
  rdsNotAvailable = 2,  // this kind of dialog is not part of the module
  rdsFailed = 3,        // an exception was caught and shown
};

// The three parameter dialogs: the plug-in's exports and the module share it.
enum RirDialogKind : int32_t { rdkGenerator = 0, rdkTransform = 1, rdkWave = 2 };

extern "C" {
// Whether widgets can be shown: a QApplication exists, or one can be created
// without Qt aborting (a display is reachable or a headless platform is set).
using RirDialogsCanShowFn = int32_t (*)();
// Severity 0 = error box, 1 = information box; modal, one OK button, centred.
using RirDialogsPresentFn = void (*)(int32_t severity, const char* text, void* context);
// Runs one modal dialog of `kind` over the host's interface.
using RirDialogsOpenFn = int32_t (*)(int32_t kind, IExtParameter* params, const RirDialogServices* services);
}

#define RIR_DIALOGS_MODULE_NAME "librir_eda_dialogs.so"
#define RIR_DIALOGS_CAN_SHOW "RirDialogs_CanShow"
#define RIR_DIALOGS_PRESENT "RirDialogs_PresentMessage"
#define RIR_DIALOGS_OPEN "RirDialogs_Open"
