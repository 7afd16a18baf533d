// What the WAVE player will make of a file, told before the run in the
// simulator's words: the reader's own verdict, from the one WAVE format
// module the player opens files through.
#pragma once

#include <string>

#include "Messages.h"

struct WaveFileVerdict {
  // "" when the player plays the file's samples; otherwise why not: the
  // reader refuses the file (with its reason), or opens it but delivers no
  // samples of its width.
  std::string problem;
  // "" or what a played file will sound like that its header does not say:
  // samples of another coding played as PCM.
  std::string warning;
};

WaveFileVerdict CheckWaveFile(HostLanguage lang, const std::string& path);
