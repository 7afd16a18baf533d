// An output file written in place as a run goes, so that a run that is
// killed leaves what it streamed under the file's own name, complete up to
// its last whole line (callers write whole lines). While the file is open a
// marker beside it, NAME.unfinished, says that it is not complete; a commit
// removes the marker and leaves the file exactly as written.
#pragma once

#include <cstdint>
#include <string>

class StreamedFile {
 public:
  explicit StreamedFile(std::string path);
  // Without a commit: removes what this run wrote; a file it never wrote to
  // stays as it was.
  ~StreamedFile();
  StreamedFile(const StreamedFile&) = delete;
  StreamedFile& operator=(const StreamedFile&) = delete;

  bool Ok() const { return fd_ >= 0 && !failed_; }
  void Write(const std::string& text);
  // Closes and removes the marker; false (and the file removed) on any failure.
  bool Commit();
  const std::string& Path() const { return path_; }
  // The file was left partial by an earlier run that did not finish.
  bool ReplacedPartial() const { return replacedPartial_; }

  static std::string MarkerOf(const std::string& path) { return path + ".unfinished"; }

 private:
  void Discard();
  void RemoveWritten();
  bool Start();  // empties the file before the first write
  std::string path_, marker_;
  int fd_ = -1;
  uint64_t offset_ = 0;  // bytes written: where the next write lands
  bool fileExisted_ = false, markerExisted_ = false;
  bool started_ = false, failed_ = false, committed_ = false, replacedPartial_ = false;
};
