// The controls of the wave dialog, once for both front ends. The names are
// spelled here once: code names a control with `"Name"_ctl` under
// `using namespace wave_controls`, checked against these tables.
#pragma once

#include <string_view>

#include "ControlName.h"

namespace wave_layout {

// The controls, in the order of their Win32 ids.
inline constexpr const char* kControls[] = {
    "PageControl", "FileNam_lab", "LoadFileName", "LoadBitBtn",   "RxLabel1",   "WaveProp",
    "Sample_lab",  "SampleWave",  "SaveWave_lab", "SaveWaveFile", "SaveBitBtn", "Amp2_lab",
    "WaveRate",    "Bits_lab",    "Radio_Bit8",   "Radio_Bit16",  "PlayBtn",    "HelpBtn"};
// The form, its two pages and the buttons the Win32 dialog has as IDOK and
// IDCANCEL.
inline constexpr const char* kFrameControls[] = {"WavesForm", "LoadWaveTab", "SaveWaveTab", "OKBtn", "CancelBtn"};

}  // namespace wave_layout

// The index of a control in the id-ordered table, -1 for none.
constexpr int WaveControlIndex(std::string_view name) {
  return ListedIndex(wave_layout::kControls, name, [](const char* n) { return n; });
}

namespace wave_controls {
consteval ControlName operator""_ctl(const char* name, size_t size) {
  const std::string_view n(name, size);
  return CheckedControl(
      n, WaveControlIndex(n) >= 0 || ListedIndex(wave_layout::kFrameControls, n, [](const char* f) { return f; }) >= 0);
}
}  // namespace wave_controls
