// An output file written under a temporary name and renamed into place only
// when complete, so a failed run never leaves half a file behind.
#pragma once

#include <cstdio>
#include <string>

class OutputFile {
 public:
  explicit OutputFile(std::string path);
  ~OutputFile();  // removes the temporary file unless committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool Ok() const { return file_ != nullptr && !failed_; }
  std::FILE* Stream() { return file_; }
  void Write(const std::string& text);
  // Closes and renames; false (and the temporary removed) on any failure.
  bool Commit();
  const std::string& Path() const { return path_; }

 private:
  std::string path_, temp_;
  std::FILE* file_ = nullptr;
  bool failed_ = false, committed_ = false;
};
