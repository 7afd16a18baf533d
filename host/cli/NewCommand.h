// "rir-eda new": fills in one of the test-design templates the plug-in
// carries (framework/interface/TestTemplates.h) and writes a design that
// runs. Exit statuses: 0 written (or the templates listed), 2 nothing
// written (no plug-in or templates, an unknown type or placeholder, a value
// the design refuses, a file that exists).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct NewRequest {
  std::string type;                      // "constant", "random", "sine", "tone"; "" lists the templates
  std::vector<std::string> assignments;  // "PLACEHOLDER=VALUE", e.g. "Const=5"
  std::string output;                    // the design to write; "" = the Name placeholder's value + ".toml"
  bool force = false;                    // replace an existing file
  std::string pluginPath;
};

int NewDesign(const NewRequest& request, std::ostream& out, std::ostream& err);
