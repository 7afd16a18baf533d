#include "Interruption.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <csignal>
#include <cstring>
#include <ctime>

namespace interruption {
namespace {

std::atomic<int> received{0};
std::atomic<int> held{0};
std::atomic<bool> endNow{false};
std::atomic<int64_t> firstAt{0};  // when the first signal came, in monotonic ns
// One signal often arrives twice: `timeout` and a shell's job control signal
// the process and then its whole group. A repeat this soon is that echo, not
// a second Ctrl-C.
constexpr int64_t kEchoNs = 500'000'000;
char message[512];  // written by the handler, so prepared beforehand
size_t messageLength = 0;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void End(int signal) {
  if (messageLength > 0) {
    const ssize_t ignored = write(STDERR_FILENO, message, messageLength);
    (void)ignored;
  }
  _exit(ExitStatus(signal));
}

int64_t NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);  // async-signal-safe
  return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void OnSignal(int signal) {
  int none = 0;
  const bool first = received.compare_exchange_strong(none, signal);
  const int64_t now = NowNs();
  if (first) firstAt.store(now);
  if (held.load() > 0 || (first && !endNow.load())) return;
  if (!first && !endNow.load() && now - firstAt.load() < kEchoNs) return;
  End(received.load());
}

void Install() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // file writes and gnuplot's pipe go on after a remembered signal
  for (int s : kSignals) sigaction(s, &action, nullptr);
}

void SetMessage(const std::string& text) {
  messageLength = std::min(text.size(), sizeof message - 1);
  std::memcpy(message, text.data(), messageLength);
  message[messageLength] = '\0';
}

}  // namespace

void InstallForRun() {
  SetMessage("rir-eda: ended at once by a second signal; the outputs hold what was written up to then\n");
  endNow.store(false);
  Install();
}

void InstallEndingNow(const std::string& text) {
  SetMessage(text);
  endNow.store(true);
  Install();
}

int Received() { return received.load(); }

Hold::Hold() { held.fetch_add(1); }

Hold::~Hold() { held.fetch_sub(1); }

}  // namespace interruption
