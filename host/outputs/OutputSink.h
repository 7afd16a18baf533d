// One output of a run (VCD, CSV, plot): opened before the run, fed the
// settled values at every time point, committed after it.
#pragma once

#include <string>
#include <vector>

#include "host/engine/Recorder.h"

// A file a sink wrote, and what to call it in the summary ("CSV", "plot").
struct WrittenFile {
  std::string what;
  std::string path;
};

class OutputSink : public Recorder {
 public:
  // The output could be opened.
  virtual bool Ok() const = 0;
  // An earlier run that did not finish left this output partial.
  virtual bool ReplacedPartial() const { return false; }
  virtual std::string MainPath() const = 0;
  // Writes what is left; appends the files written, or false with the reason.
  virtual bool Commit(std::vector<WrittenFile>& files, std::string& error) = 0;
};
