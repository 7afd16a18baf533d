#include "WavePresenter.h"

#include <algorithm>

#include "SoundClips.h"

namespace WaveDialog {

using namespace wave_controls;

WavePresenter::WavePresenter(DialogView& view, WaveFiles files, PathStyle style)
    : view_(view), form_(std::move(files), style) {}

void WavePresenter::Start() {
  view_.SetVisible("HelpBtn"_ctl, false);
  if (LoadPage()) {
    view_.SetText("LoadFileName"_ctl, kLoadNameDesign);
    return;
  }
  view_.SetIndex("SampleWave"_ctl, 0);
  view_.SetText("SaveWaveFile"_ctl, kSaveNameDesign);
  // Records are written 8 bits wide; 16 is shown, not offered.
  view_.SetChecked("Radio_Bit8"_ctl, true);
  view_.SetEnabled("Radio_Bit16"_ctl, false);
}

ControlName WavePresenter::NameField() const { return LoadPage() ? "LoadFileName"_ctl : "SaveWaveFile"_ctl; }

std::vector<std::string> WavePresenter::Open(const std::vector<uint8_t>& stored) {
  const WaveForm::Controls controls = form_.Open(stored);
  view_.SetText(NameField(), controls.name);
  StepShown step = controls.step;
  std::vector<std::string> messages = std::move(step.messages);
  step.messages.clear();
  Apply(step);
  if (!LoadPage()) {
    view_.SetIndex("SampleWave"_ctl, controls.sampleIndex);
    view_.SetIndex("WaveRate"_ctl, controls.rateIndex);
    // The button to select first: an exclusive pair refuses to clear the
    // selected one.
    const bool sixteen = controls.bits == BitsChoice::Sixteen;
    if (controls.bits != BitsChoice::Keep) {
      view_.SetChecked(sixteen ? "Radio_Bit16"_ctl : "Radio_Bit8"_ctl, true);
      view_.SetChecked(sixteen ? "Radio_Bit8"_ctl : "Radio_Bit16"_ctl, false);
    }
    shownRate_ = view_.Index("WaveRate"_ctl);
    shownSixteen_ = view_.Checked("Radio_Bit16"_ctl);
  }
  const std::optional<std::string>& named = LoadPage() ? step.loadName : step.saveName;
  openedName_ = named ? *named : controls.name;
  shownName_ = view_.Text(NameField());
  return messages;
}

void WavePresenter::SayInMemo(const std::vector<std::string>& messages) {
  std::string said;
  for (const std::string& message : messages) said += message + "\n";
  view_.SetText("WaveProp"_ctl, said);
  saidInMemo_ = true;
}

bool WavePresenter::Apply(const StepShown& shown) {
  for (const std::string& message : shown.messages) view_.ShowMessage(message);
  if (LoadPage()) {
    if (shown.header) {
      const std::array<std::string, 3>& lines = *shown.header;
      view_.SetText("WaveProp"_ctl, lines[0] + "\n" + lines[1] + "\n" + lines[2]);
    }
    if (shown.loadName) view_.SetText("LoadFileName"_ctl, *shown.loadName);
  } else if (shown.saveName) {
    view_.SetText("SaveWaveFile"_ctl, *shown.saveName);
  }
  return shown.accepted;
}

std::string WavePresenter::Typed() const {
  std::string typed = view_.Text(NameField());
  return typed == shownName_ ? openedName_ : typed;
}

bool WavePresenter::FileStep(const std::string& given) { return Apply(form_.FileStep(given)); }

std::optional<std::string> WavePresenter::FileToPlay() {
  const std::string name = form_.WithDirectory(Typed());
  if (!FileStep(name)) return std::nullopt;
  return name;
}

std::vector<std::string> WavePresenter::ClipsToPlay() const {
  const int32_t choice = view_.Index("SampleWave"_ctl);
  const bool listed = choice >= 0 && choice < static_cast<int32_t>(kSampleItems.size());
  return SoundClips::ClipsFor(kSampleItems[listed ? static_cast<size_t>(choice) : 0]);
}

bool WavePresenter::Ok() {
  const std::string typed = Typed();
  // A typed name the record cannot hold is refused before the dialog closes.
  if (const std::optional<std::string> refusal = form_.RefusalOnOk(typed)) {
    view_.ShowMessage(*refusal);
    return false;
  }
  if (LoadPage()) {
    const bool said = saidInMemo_ && form_.ReportedAtOpen(typed);
    StepShown shown;
    result_ = form_.LoadPageRecord(typed, shown);
    if (said) shown.messages.clear();
    Apply(shown);
    return true;
  }
  const int32_t rate = view_.Index("WaveRate"_ctl);
  const bool sixteen = view_.Checked("Radio_Bit16"_ctl);
  result_ = form_.SavePageRecord(typed, std::max(0, view_.Index("SampleWave"_ctl)), rate, sixteen);
  // A stored rate or width the controls cannot show stays while the user
  // leaves its control alone.
  if (rate == shownRate_ && form_.Opened().SampleRate > 0) result_.SampleRate = form_.Opened().SampleRate;
  if (sixteen == shownSixteen_ && form_.Opened().BitsPerSample > 0)
    result_.BitsPerSample = form_.Opened().BitsPerSample;
  return true;
}

std::vector<uint8_t> WavePresenter::ResultBytes() const {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&result_);
  return std::vector<uint8_t>(bytes, bytes + sizeof result_);
}

}  // namespace WaveDialog
