// Reads a design file (TOML) and checks it completely before anything runs.
#pragma once

#include <string>

#include "Design.h"

// Throws DesignError with the file and line of the first fault.
Design ReadDesign(const std::string& path);
Design ParseDesign(const std::string& text, const std::string& path);
