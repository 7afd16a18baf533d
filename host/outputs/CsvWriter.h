// Writes chosen buses as decimal integers, each decoded in the sign mode of
// the block that drives it: one row per time at which one of them changed,
// or, with a clock, one row per rising edge of the clock (the values settled
// at the edge's time). Rows reach the file in whole lines as the run goes.
#pragma once

#include <string>
#include <vector>

#include "OutputSink.h"
#include "StreamedFile.h"
#include "host/engine/InProcessHost.h"

class CsvWriter : public OutputSink {
 public:
  CsvWriter(const std::string& path, std::vector<std::string> names, std::vector<int32_t> signModes,
            std::string clock = "");
  void Begin(const VariableStore& store) override;
  void Sample(int64_t time, const VariableStore& store) override;
  void End(int64_t time) override;
  bool Commit() { return file_.Commit(); }
  bool Ok() const override { return file_.Ok(); }
  bool ReplacedPartial() const override { return file_.ReplacedPartial(); }
  std::string MainPath() const override { return file_.Path(); }
  bool Commit(std::vector<WrittenFile>& files, std::string& error) override;

 private:
  void Flush();
  StreamedFile file_;
  std::vector<std::string> names_;
  std::vector<int32_t> signModes_;
  std::vector<VarHandle> handles_;
  std::vector<ValueBits> written_, pending_;
  std::string clock_;
  VarHandle clockHandle_ = 0;
  char pendingClock_ = '0', lastClock_ = '0';
  int64_t pendingTime_ = 0;
  bool hasPending_ = false;
  std::string buffer_;
};
