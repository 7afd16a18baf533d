// "rir-eda edit": opens a design block's parameter dialog and writes what
// the user chose back into the design. Exit statuses: 0 written or
// cancelled, 1 the dialog could not be shown (no display) or the new record
// could not be written, 2 nothing was done (bad design, unknown block, no
// plug-in).
#pragma once

#include <iosfwd>
#include <string>

struct EditRequest {
  std::string design;
  std::string block;
  std::string language;  // "" = the design's language
  std::string pluginPath;
  std::string outputDir = ".";  // where a run writes recordings; a recorder's names are relative to it
};

int EditDesignBlock(const EditRequest& request, std::ostream& out, std::ostream& err);
