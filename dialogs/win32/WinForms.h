// The three parameter dialogs of the Windows build, one file each. Each runs
// modally over the request and hands back what OK stores (nothing on Cancel).
#pragma once

#include <windows.h>

#include "logic/DialogHooks.h"

DialogResult RunWinGeneratorDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner);
DialogResult RunWinTransformDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner);
DialogResult RunWinWaveDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner);
