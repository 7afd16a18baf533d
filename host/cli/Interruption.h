// SIGINT, SIGTERM and SIGHUP for the command line. A run remembers the first
// one and stops at the end of a time point; a second one ends the program at
// once. Elsewhere a signal ends the program at once with a message, unless a
// step that must not be cut in half holds it off.
#pragma once

#include <string>

namespace interruption {

// The exit status of a program ended by `signal`: 128 + its number.
constexpr int ExitStatus(int signal) { return 128 + signal; }

// The first signal is only remembered (see Received).
void InstallForRun();
// A signal prints `message` (a line) and ends the program with its status.
void InstallEndingNow(const std::string& message);
// The signal received first, 0 when none.
int Received();

// While a Hold lives a signal is only remembered.
class Hold {
 public:
  Hold();
  ~Hold();
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;
};

}  // namespace interruption
