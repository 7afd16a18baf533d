#include <cstring>

#include "WinForms.h"
#include "WinRecordDialog.h"
#include "logic/DialogLanguage.h"
#include "numeric/ParameterRecords.h"

DialogResult RunWinGeneratorDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner) {
  std::vector<uint8_t> record = request.data;
  if (record.size() != sizeof(GeneratorParams)) {
    const GeneratorParams defaults = DefaultGeneratorParams();
    record.resize(sizeof defaults);
    std::memcpy(record.data(), &defaults, sizeof defaults);
  }
  const bool ru = IsRussianLanguage(request.language);
  return RunRecordDialog(request, owner, ru ? L"Свойства генераторов сигналов" : L"Signal Generator Properties",
                         std::move(record));
}
