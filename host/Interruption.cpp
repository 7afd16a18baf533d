#include "Interruption.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>

namespace interruption {
namespace {

std::atomic<int> received{0};
std::atomic<int> held{0};
std::atomic<bool> endNow{false};
char message[512];  // written by the handler, so prepared beforehand
size_t messageLength = 0;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void End(int signal) {
  if (endNow.load() && messageLength > 0) {
    const ssize_t ignored = write(STDERR_FILENO, message, messageLength);
    (void)ignored;
  }
  _exit(ExitStatus(signal));
}

void OnSignal(int signal) {
  int none = 0;
  const bool first = received.compare_exchange_strong(none, signal);
  if (held.load() > 0 || (first && !endNow.load())) return;
  End(received.load());
}

void Install() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // file writes and gnuplot's pipe go on after a remembered signal
  for (int s : kSignals) sigaction(s, &action, nullptr);
}

}  // namespace

void InstallForRun() {
  endNow.store(false);
  Install();
}

void InstallEndingNow(const std::string& text) {
  messageLength = std::min(text.size(), sizeof message - 1);
  std::memcpy(message, text.data(), messageLength);
  message[messageLength] = '\0';
  endNow.store(true);
  Install();
}

int Received() { return received.load(); }

Hold::Hold() { held.fetch_add(1); }

Hold::~Hold() { held.fetch_sub(1); }

}  // namespace interruption
