#include "StreamedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {
bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}
}  // namespace

StreamedFile::StreamedFile(std::string path) : path_(std::move(path)), marker_(MarkerOf(path_)) {
  struct stat info;
  replacedPartial_ = ::stat(marker_.c_str(), &info) == 0 && ::stat(path_.c_str(), &info) == 0;
  // The marker first: a kill between the two leaves no unmarked half file.
  const int marker = ::open(marker_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (marker < 0) return;
  const std::string note = "rir-eda is writing " + path_ +
                           "; when no run is going on, that run was stopped and the file holds what it wrote "
                           "up to then.\n";
  const bool noted = WriteAll(marker, note.data(), note.size());
  ::close(marker);
  if (!noted) {
    std::remove(marker_.c_str());
    return;
  }
  fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) std::remove(marker_.c_str());
}

StreamedFile::~StreamedFile() {
  if (!committed_) Discard();
}

void StreamedFile::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    std::remove(path_.c_str());
    std::remove(marker_.c_str());
  }
}

void StreamedFile::Write(const std::string& text) {
  if (!Ok()) return;
  // Straight to the file, unbuffered: what a kill leaves ends where a call ended.
  if (!WriteAll(fd_, text.data(), text.size())) failed_ = true;
}

bool StreamedFile::Commit() {
  if (fd_ < 0) return false;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (failed_ || !closed) {
    std::remove(path_.c_str());
    std::remove(marker_.c_str());
    return false;
  }
  committed_ = true;
  std::remove(marker_.c_str());
  return true;
}
