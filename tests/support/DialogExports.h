// The plug-in's dialog exports as a host calls them, and a way to act on
// the modal dialog they show.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "support/PluginFixture.h"

struct IExtParameter;

using DialogExport = void(RIR_STDCALL*)(IExtParameter*);

inline DialogExport Export(const char* name) {
  auto fn = reinterpret_cast<DialogExport>(Plugin().Symbol(name));
  EXPECT_NE(fn, nullptr) << name;
  return fn;
}

// Runs `action` on the modal widget as soon as the event loop turns.
inline void OnModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] {
    QWidget* w = QApplication::activeModalWidget();
    ASSERT_NE(w, nullptr);
    action(w);
  });
}
