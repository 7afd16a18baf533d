// The wave dialog's presenter: the record into the controls, the file step's
// effects on them, browse, play and OK, written once for both front ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DialogView.h"
#include "WaveDialogLayout.h"
#include "WaveDialogLogic.h"

namespace WaveDialog {

class WavePresenter {
 public:
  explicit WavePresenter(DialogView& view, WaveFiles files = SystemWaveFiles(), PathStyle style = NativePathStyle());

  void SetType(const std::string& typeName) { form_.SetType(typeName); }
  void SetSettings(const std::string& localDirectory, const std::string& language) {
    form_.SetSettings(localDirectory, language);
  }
  const WaveForm& Form() const { return form_; }
  bool LoadPage() const { return form_.LoadPage(); }

  // The controls exist: their design states, before a record fills them.
  void Start();

  // The stored record (68 bytes) or the defaults into the controls. The
  // messages of its file step come back unsaid: a front end says them when
  // it can.
  std::vector<std::string> Open(const std::vector<uint8_t>& stored);
  // Says the messages in the header memo instead; OK does not repeat them.
  void SayInMemo(const std::vector<std::string>& messages);

  bool FileStep(const std::string& given);
  // A file the browse dialog picked ("" for none).
  void Picked(const std::string& picked) { Apply(form_.PickedName(picked)); }
  // Play on the load page: the whole name of the file when the file step
  // takes it.
  std::optional<std::string> FileToPlay();
  // Play on the save page: the clips of the sample list's choice.
  std::vector<std::string> ClipsToPlay() const;

  // OK: false (after a message) when the typed name cannot be stored; else
  // the result record is ready.
  bool Ok();
  const WaveParams& Result() const { return result_; }
  // The result record as the host stores it (68 bytes).
  std::vector<uint8_t> ResultBytes() const;
  // The position OK hands back: only when the user moved the dialog.
  std::optional<ScreenPoint> StoredPosition(ScreenPoint shownAt, ScreenPoint closedAt) const {
    return PositionToStore(PositionKept::WhenMoved, shownAt, closedAt);
  }

 private:
  bool Apply(const StepShown& shown);
  ControlName NameField() const;
  // The name field; while it shows what it showed at first, the stored name
  // itself, so that no conversion on the way to the control and back
  // changes it.
  std::string Typed() const;

  DialogView& view_;
  WaveForm form_;
  std::string openedName_;  // what Open put in the name field
  std::string shownName_;   // the same, as the control gives it back
  int32_t shownRate_ = -1;
  bool shownSixteen_ = false;
  bool saidInMemo_ = false;
  WaveParams result_{};
};

}  // namespace WaveDialog
