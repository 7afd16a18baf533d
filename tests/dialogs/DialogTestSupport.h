// Shared pieces of the dialog tests: an offscreen application, hooks that
// record every message, and record helpers.
#pragma once

#include <QApplication>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/logic/DialogHooks.h"
#include "tests/support/RecordBytes.h"

QApplication& TestApp();

struct HookLog {
  std::vector<std::string> texts;  // plain boxes and library messages, as shown
  std::vector<int> infos;
  std::string language;
};

// Hooks over the plug-in's own catalogue, recording into log.
DialogHooks RecordingHooks(HookLog& log);

template <class Record>
std::vector<uint8_t> Bytes(const Record& record) {
  return RecordBytes(record);
}

template <class Record>
Record FromBytes(const std::vector<uint8_t>& bytes) {
  Record record{};
  if (bytes.size() == sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}
