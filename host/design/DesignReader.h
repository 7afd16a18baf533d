// Reads a design file (TOML) and checks it completely before anything runs.
#pragma once

#include <string>

#include "Design.h"

#include <vector>

// A design read to run is also checked for what only a run needs: the WAVE
// files its players read, FFT lengths that work, recorders' file names that
// stay in the output folder (RunAnyPath lets them name a folder:
// --allow-paths). One read to edit is not, so that the editor can mend it.
enum class DesignUse { Run, RunAnyPath, Edit };

// Throws DesignError with the file and line of the first fault. `overrides`
// are "--set" assignments (Overrides.h), checked like the file.
Design ReadDesign(const std::string& path, const std::vector<std::string>& overrides = {},
                  DesignUse use = DesignUse::Run);
Design ParseDesign(const std::string& text, const std::string& path, const std::vector<std::string>& overrides = {},
                   DesignUse use = DesignUse::Run);
