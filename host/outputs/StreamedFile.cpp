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

bool Exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}
}  // namespace

StreamedFile::StreamedFile(std::string path) : path_(std::move(path)), marker_(MarkerOf(path_)) {
  fileExisted_ = Exists(path_);
  markerExisted_ = Exists(marker_);
  replacedPartial_ = fileExisted_ && markerExisted_;
  // Not truncated yet: a run refused before its first line keeps the old file.
  fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return;
  const int marker = ::open(marker_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  const std::string note = "rir-eda is writing " + path_ +
                           "; when no run is going on, that run was stopped and the file holds what it wrote "
                           "up to then.\n";
  const bool noted = marker >= 0 && WriteAll(marker, note.data(), note.size());
  if (marker >= 0) ::close(marker);
  if (!noted) Discard();
}

StreamedFile::~StreamedFile() {
  if (!committed_) Discard();
}

void StreamedFile::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  RemoveWritten();
}

void StreamedFile::RemoveWritten() {
  // What this run wrote goes; what was there before and untouched stays.
  if (started_ || !fileExisted_) std::remove(path_.c_str());
  if (started_ || !markerExisted_) std::remove(marker_.c_str());
}

bool StreamedFile::Start() {
  if (!started_) failed_ = ::ftruncate(fd_, 0) != 0 || failed_;
  started_ = true;
  return !failed_;
}

void StreamedFile::Write(const std::string& text) {
  if (!Ok() || !Start()) return;
  // Straight to the file, unbuffered: what a kill leaves ends where a call
  // ended. A write that SIGKILL cuts short ends at a page boundary of the
  // file, so each call ends at a line end and stays within a page, but for
  // a line that itself straddles a boundary: that one goes on its own.
  constexpr size_t kPage = 4096;
  size_t from = 0;
  while (from < text.size()) {
    const size_t room = kPage - static_cast<size_t>(offset_ % kPage);
    size_t end = text.size();
    if (text.size() - from > room) {
      end = text.rfind('\n', from + room - 1);
      if (end == std::string::npos || end < from) end = text.find('\n', from + room);
      end = end == std::string::npos ? text.size() : end + 1;
    }
    if (!WriteAll(fd_, text.data() + from, end - from)) {
      failed_ = true;
      return;
    }
    offset_ += end - from;
    from = end;
  }
}

bool StreamedFile::Commit() {
  if (fd_ < 0) return false;
  Start();  // an output with nothing in it is empty
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (failed_ || !closed) {
    RemoveWritten();
    return false;
  }
  committed_ = true;
  std::remove(marker_.c_str());
  return true;
}
