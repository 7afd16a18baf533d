// "--set BLOCK.FIELD=VALUE": one record field of one block changed for a
// single run, so that a sweep is a shell loop over one design.
#pragma once

#include <string>

#include "Design.h"

// VALUE is read as a TOML value (42, 0.5, [1, 2], "text"); anything that is
// not one is taken as a text. Throws DesignError naming the override.
void ApplyOverride(Design& design, const std::string& assignment);
