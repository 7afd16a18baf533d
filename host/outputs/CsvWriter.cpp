#include "CsvWriter.h"

#include "framework/ValueBits.h"

CsvWriter::CsvWriter(const std::string& path, std::vector<std::string> names, std::vector<int32_t> signModes,
                     std::string clock)
    : file_(path), names_(std::move(names)), signModes_(std::move(signModes)), clock_(std::move(clock)) {}

void CsvWriter::Begin(const VariableStore& store) {
  std::string h = "time";
  for (const std::string& n : names_) {
    handles_.push_back(store.Find(n));
    h += "," + n;
  }
  file_.Write(h + "\n");
  if (!clock_.empty()) clockHandle_ = store.Find(clock_);
  pending_.resize(names_.size());
  Sample(0, store);
}

void CsvWriter::Flush() {
  if (!hasPending_) return;
  if (clockHandle_ != 0) {
    const bool rising = pendingClock_ == '1' && lastClock_ != '1';
    lastClock_ = pendingClock_;
    hasPending_ = false;
    if (!rising) return;
  } else if (pending_ == written_) {
    return;
  }
  buffer_ += std::to_string(pendingTime_);
  for (size_t k = 0; k < pending_.size(); ++k)
    buffer_ += "," + std::to_string(DecodeValueBits(signModes_[k], pending_[k]));
  buffer_ += '\n';
  written_ = pending_;
  hasPending_ = false;
  if (buffer_.size() > (1u << 16)) {
    file_.Write(buffer_);
    buffer_.clear();
  }
}

void CsvWriter::Sample(int64_t time, const VariableStore& store) {
  // Several samples at one time give one row with the settled values.
  if (hasPending_ && time != pendingTime_) Flush();
  for (size_t k = 0; k < handles_.size(); ++k) pending_[k] = store.Get(handles_[k])->value;
  if (clockHandle_ != 0) pendingClock_ = store.Get(clockHandle_)->value.IsHigh() ? '1' : '0';
  pendingTime_ = time;
  hasPending_ = true;
}

void CsvWriter::End(int64_t) {
  Flush();
  file_.Write(buffer_);
  buffer_.clear();
}

bool CsvWriter::Commit(std::vector<WrittenFile>& files, std::string& error) {
  if (!Commit()) {
    error = "cannot write " + file_.Path();
    return false;
  }
  files.push_back({"CSV", file_.Path()});
  return true;
}
