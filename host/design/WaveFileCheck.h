// What a WAVE player would make of a file, told before the run.
#pragma once

#include <string>

#include "Messages.h"

// "" when a player reads the file's samples; otherwise why not: missing,
// unreadable, not RIFF WAVE, not 8- or 16-bit PCM (float, A-law, 24-bit),
// channels outside 1..4, or chunks the player stops at before the samples.
std::string WaveFileProblem(HostLanguage lang, const std::string& path);
