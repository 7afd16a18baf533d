#include "WinRecordDialog.h"

#include "logic/DialogLanguage.h"

namespace {

class RecordDialog : public WinDialog {
 public:
  explicit RecordDialog(bool russian) : WinDialog(260, 60), russian_(russian) {}

 protected:
  void OnCreate() override {
    AddButton(IDOK, russian_ ? L"&ОК" : L"&OK", 50, 18, 75, 25, true);
    AddButton(IDCANCEL, russian_ ? L"&Отмена" : L"&Cancel", 135, 18, 75, 25);
  }

 private:
  bool russian_;
};

}  // namespace

DialogResult RunRecordDialog(const DialogRequest& request, HWND owner, const std::wstring& caption,
                             std::vector<uint8_t> record) {
  RecordDialog dialog(IsRussianLanguage(request.language));
  DialogResult result;
  result.accepted = dialog.RunModal(owner, caption, request.position);
  if (!result.accepted) return result;
  if (dialog.Moved()) result.position = dialog.ClosedAt();
  result.data = std::move(record);
  return result;
}
