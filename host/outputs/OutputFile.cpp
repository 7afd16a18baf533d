#include "OutputFile.h"

OutputFile::OutputFile(std::string path) : path_(std::move(path)), temp_(path_ + ".partial") {
  file_ = std::fopen(temp_.c_str(), "wb");
}

OutputFile::~OutputFile() {
  if (file_ != nullptr) std::fclose(file_);
  if (!committed_) std::remove(temp_.c_str());
}

void OutputFile::Write(const std::string& text) {
  if (file_ == nullptr || failed_) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
}

bool OutputFile::Commit() {
  if (file_ == nullptr) return false;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (failed_ || !closed || std::rename(temp_.c_str(), path_.c_str()) != 0) {
    std::remove(temp_.c_str());
    return false;
  }
  committed_ = true;
  return true;
}
