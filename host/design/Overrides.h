// "--set BLOCK.FIELD=VALUE" and "--set simulation.KEY=VALUE": one record field
// of one block, or one [simulation] setting, changed for a single run, so that
// a sweep is a shell loop over one design. The change is made in the design's
// TOML before it is read, so it goes through every check the file gets.
#pragma once

#include <toml++/toml.h>

#include <map>
#include <string>
#include <vector>

// The values the overrides placed, each with its assignment: faults found in
// them are reported as "--set ASSIGNMENT: ...".
using OverrideOrigins = std::map<const toml::node*, std::string>;

// VALUE is read as a TOML value (42, 0.5, [1, 2], "text"); anything that is
// not one, and an unquoted value of a text field, is taken as a text. Throws
// DesignError naming the override when its target does not exist.
OverrideOrigins ApplyOverrides(toml::table& root, const std::vector<std::string>& assignments);
