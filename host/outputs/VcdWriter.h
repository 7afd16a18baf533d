// Writes variables as a Value Change Dump that waveform viewers read: the
// raw bits of every variable, and beside each bus a `real` companion with
// the value decoded in the sign mode of the block that writes it. Changes
// reach the file in whole lines as the run goes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "OutputSink.h"
#include "StreamedFile.h"
#include "host/engine/InProcessHost.h"

// One trace of a GTKWave save file: a variable of the top scope, drawn as
// an analog trace (a bus's decoded companion) or as a digital line.
struct GtkwTrace {
  std::string variable;
  bool analog = false;
};

// A block's ports as a scope of its own below the top scope.
struct VcdScope {
  std::string name;
  std::vector<std::pair<std::string, std::string>> ports;  // port -> variable
};

class VcdWriter : public OutputSink {
 public:
  // `names` empty: every variable of the store. `signModes`: per variable,
  // missing ones decode as sign-magnitude. `timescale` like "1 ns".
  VcdWriter(const std::string& path, std::vector<std::string> names, std::string timescale = "1 ns",
            std::vector<VcdScope> scopes = {}, std::map<std::string, int32_t> signModes = {});
  void Begin(const VariableStore& store) override;
  void Sample(int64_t time, const VariableStore& store) override;
  void End(int64_t time) override;
  bool Commit() { return file_.Commit(); }
  bool Ok() const override { return file_.Ok(); }
  bool ReplacedPartial() const override { return file_.ReplacedPartial(); }
  std::string MainPath() const override { return file_.Path(); }
  // Commits the VCD, then the GTKWave save file if one was asked for.
  bool Commit(std::vector<WrittenFile>& files, std::string& error) override;
  // A GTKWave save file to write beside the VCD on commit.
  void AlsoSave(std::string gtkwPath, std::vector<GtkwTrace> traces);

  static std::string IdentifierCode(size_t index);
  // What the companion of a bus is called.
  static std::string CompanionName(const std::string& variable) { return variable + "_value"; }
  // The name a viewer shows for a variable in the top scope.
  static std::string Reference(const std::string& name);
  static constexpr const char* kTopScope = "design";

 private:
  void Emit(size_t k, const HostVariable& v);
  StreamedFile file_;
  std::vector<std::string> names_;
  std::string timescale_;
  std::vector<VcdScope> scopes_;
  std::map<std::string, int32_t> signModes_;
  std::vector<VarHandle> handles_;
  std::vector<ValueBits> last_;
  std::vector<std::string> lastOdd_;  // the text of an odd value, else ""
  std::string text_;
  std::vector<std::string> ids_;
  std::vector<int> companion_;  // per variable: index of its real code, or -1
  std::vector<int32_t> modes_;
  std::vector<std::string> realIds_;
  int64_t lastTime_ = 0;
  int64_t endTime_ = 0;
  std::string buffer_;
  std::string gtkw_;
  std::vector<GtkwTrace> traces_;
};

// The text of a GTKWave save file that opens `vcdFile` with `traces`, zoomed
// to show [0, endTime]. GTKWave finds a relative `vcdFile` from wherever it
// is started when `saveFile` names the save file relative to the same folder.
std::string GtkwSaveText(const std::string& vcdFile, const std::string& saveFile, const std::vector<GtkwTrace>& traces,
                         int64_t endTime);
