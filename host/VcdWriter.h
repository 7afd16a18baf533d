// Writes variables as a Value Change Dump that waveform viewers read.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "InProcessHost.h"
#include "OutputFile.h"
#include "Recorder.h"

class VcdWriter : public Recorder {
 public:
  // `names` empty: every variable of the store.
  VcdWriter(const std::string& path, std::vector<std::string> names);
  void Begin(const VariableStore& store) override;
  void Sample(int64_t time, const VariableStore& store) override;
  void End(int64_t time) override;
  bool Commit() { return file_.Commit(); }
  bool Ok() const { return file_.Ok(); }

  static std::string IdentifierCode(size_t index);

 private:
  void Emit(size_t k, const std::string& value);
  OutputFile file_;
  std::vector<std::string> names_;
  std::vector<VarHandle> handles_;
  std::vector<std::string> last_;
  std::vector<std::string> ids_;
  int64_t lastTime_ = 0;
  std::string buffer_;
};
