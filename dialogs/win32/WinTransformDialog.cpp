#include <cstring>

#include "WinForms.h"
#include "WinRecordDialog.h"
#include "logic/DialogLanguage.h"
#include "numeric/ParameterRecords.h"

DialogResult RunWinTransformDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner) {
  const std::string type = request.typeName.substr(0, request.typeName.find('_'));
  const bool filter = hooks.isFilterCode(hooks.dialogCodeOf(type));
  std::vector<uint8_t> record = request.data;
  if (filter && record.size() != sizeof(FilterParams)) {
    alignas(8) FilterParams defaults{};
    DefaultFilterRecord(defaults);
    record.resize(sizeof defaults);
    std::memcpy(record.data(), &defaults, sizeof defaults);
  } else if (!filter && record.size() != sizeof(TransformParams)) {
    alignas(8) TransformParams defaults{};
    DefaultTransformRecord(defaults);
    record.resize(sizeof defaults);
    std::memcpy(record.data(), &defaults, sizeof defaults);
  }
  const bool ru = IsRussianLanguage(request.language);
  return RunRecordDialog(request, owner, ru ? L"Параметры преобразований" : L"Transformation options",
                         std::move(record));
}
