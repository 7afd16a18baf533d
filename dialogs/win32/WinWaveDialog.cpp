#include <cstring>

#include "WinForms.h"
#include "WinRecordDialog.h"
#include "logic/DialogLanguage.h"
#include "numeric/ParameterRecords.h"

DialogResult RunWinWaveDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner) {
  std::vector<uint8_t> record = request.data;
  if (record.size() != sizeof(WaveParams)) {
    alignas(4) WaveParams defaults{};
    DefaultWaveRecord(defaults);
    record.resize(sizeof defaults);
    std::memcpy(record.data(), &defaults, sizeof defaults);
  }
  const bool ru = IsRussianLanguage(request.language);
  return RunRecordDialog(request, owner, ru ? L"Свойства чтения/записи Wave файлов" : L"Wave Properties", std::move(record));
}
