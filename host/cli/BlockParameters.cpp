#include "BlockParameters.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ostream>
#include <sstream>

extern char** environ;

BlockParameters::BlockParameters(std::string typeName, std::vector<uint8_t> record,
                                 std::optional<std::array<int32_t, 2>> position, std::string language,
                                 std::string directory, std::ostream& out)
    : typeName_(std::move(typeName)),
      record_(std::move(record)),
      position_(position),
      language_(std::move(language)),
      directory_(std::move(directory)),
      out_(out) {}

int32_t RIR_STDCALL BlockParameters::QueryInterface(const GUID*, void** out) {
  if (out != nullptr) *out = nullptr;
  return kQueryNoInterface;
}

void RIR_STDCALL BlockParameters::SetPosition(const void* position, int32_t size) {
  if (position == nullptr || size != 8) return;
  std::array<int32_t, 2> p{};
  std::memcpy(p.data(), position, 8);
  newPosition_ = p;
}

void RIR_STDCALL BlockParameters::SetData(const void* data, int32_t size) {
  if (data == nullptr || size < 0) return;
  const auto* bytes = static_cast<const uint8_t*>(data);
  newRecord_ = std::vector<uint8_t>(bytes, bytes + size);
}

void RIR_STDCALL BlockParameters::ShowHelp(const char* topic) {
  if (topic == nullptr) return;
  if (!OpenHelpTopic(topic)) out_ << "help: " << topic << "\n";
}

namespace {
bool OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::stringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::string file = dir.empty() ? std::string(".") : dir;
    file.append(1, '/').append(program);
    if (access(file.c_str(), X_OK) == 0) return true;
  }
  return false;
}
}  // namespace

bool OpenHelpTopic(const std::string& topic) {
  if (!OnPath("xdg-open")) return false;
  // A page with an anchor is a URL, not a file name.
  std::string url = topic;
  if (!url.empty() && url[0] == '/') url = "file://" + url;
  // A child that starts the viewer in its own session and exits at once, so
  // the viewer outlives neither our wait nor our terminal.
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    char* argv[] = {const_cast<char*>("xdg-open"), url.data(), nullptr};
    pid_t viewer = 0;
    const int rc = posix_spawnp(&viewer, "xdg-open", nullptr, nullptr, argv, environ);
    _exit(rc == 0 ? 0 : 127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
