// Drives the plug-in's Win32 dialogs the way a user would, by window
// messages from a second thread, while the export runs its modal loop on the
// test's own thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/dialogs/FakeExtParameter.h"

// The plug-in's dialog exports, loaded once from the built DLL.
using DialogExport = void(RIR_STDCALL*)(IExtParameter*);
DialogExport ExportNamed(const char* name);

// Calls `open` here; once a visible top-level window of this process with
// `caption` exists, `drive` gets it on a second thread. A dialog that never
// appears within 20 s (or stays open 20 s after `drive`) fails the test and
// is closed with Cancel. True when the window appeared.
bool RunDriven(const std::wstring& caption, const std::function<void()>& open, const std::function<void(HWND)>& drive);
// Opens `export` for `host` and drives the dialog of `caption`.
bool OpenDriven(const char* exportName, FakeExtParameter& host, const std::wstring& caption,
                const std::function<void(HWND)>& drive);

// A visible top-level window of this process with this caption, waiting up
// to `ms` milliseconds; null when none appears.
HWND WaitForWindow(const std::wstring& caption, int ms = 20000);
HWND ChildById(HWND dialog, int id);
// The first child (any depth) whose text is `text`, with or without its '&'.
HWND ChildByText(HWND dialog, const std::wstring& text);
// Every child window's class and text, one per line (for failure messages).
std::wstring DescribeChildren(HWND dialog);
std::wstring WindowText(HWND window);
// Types a text into an edit control (the control tells its dialog).
void SetEditText(HWND edit, const std::wstring& text);
// Presses a button as a click would (posted, so a nested modal loop it opens
// does not block the driver).
void Click(HWND button);
void PressOk(HWND dialog);
void PressCancel(HWND dialog);
// Picks a combo box item and tells the dialog, as a user's choice would.
void SelectComboItem(HWND combo, int index);
// Selects a tab page and tells the dialog.
void SelectTab(HWND tab, int index);
// Waits for the library's message box ("Rir_Eda"), closes it with its OK
// button and gives back its text; empty when none appears within `ms`.
std::wstring CloseLibraryMessage(int ms = 10000);
// Lets the dialog's thread handle everything sent so far.
void Settle(HWND dialog);

// Saves the window as NAME.bmp in the folder RIR_SCREENSHOT_DIR names; does
// nothing without it.
void Screenshot(HWND window, const std::string& name);
bool ScreenshotsWanted();
