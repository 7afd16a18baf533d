// The rir-eda(1) man page, written from the command line's own definitions:
// every subcommand with its arguments and options as CLI11 knows them, then
// the exit statuses, the files and examples. The build runs
// `rir-eda --man-page`, so a new subcommand is in the page by itself.
#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

void WriteManPage(const CLI::App& app, const std::string& version, std::ostream& out);
