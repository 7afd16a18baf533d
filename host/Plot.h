// Plots chosen buses with gnuplot: writes a gnuplot script and its data
// beside the image, then runs gnuplot on them to draw a PNG and an SVG.
// A user can restyle the script and redraw with "gnuplot NAME.gp".
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Design.h"
#include "InProcessHost.h"
#include "Recorder.h"

struct PlotSeries {
  std::string variable;
  std::string writer;  // the writing block, shown in the title ("" = none)
  int32_t signMode = 0;
  std::string binVariable;  // spectrum: the variable holding each result's bin
};

struct PlotOptions {
  std::string image;  // "out/x.png"; "x.svg", "x.gp" and "x.dat" go beside it
  std::vector<PlotSeries> series;
  PlotKind kind = PlotKind::Time;
  std::optional<std::array<int64_t, 2>> window;  // model time
  std::string timeUnit = "1 ns";
  std::string title;  // of the whole figure
  int width = 1200, panelHeight = 240;
};

class Plot : public Recorder {
 public:
  explicit Plot(PlotOptions options);
  void Begin(const VariableStore& store) override;
  void Sample(int64_t time, const VariableStore& store) override;
  void End(int64_t time) override;

  // The files beside the image.
  std::string Svg() const { return Beside(".svg"); }
  std::string Script() const { return Beside(".gp"); }
  std::string Data() const { return Beside(".dat"); }
  // Writes the script and data, runs gnuplot; false with the reason (and no
  // half-drawn images left) on failure.
  bool Commit(std::string& error);
  // The script's text (the data file named as it will be).
  std::string ScriptText() const;
  std::string DataText() const;

 private:
  struct Point {
    int64_t x;
    int32_t y;
  };
  std::string Beside(const char* extension) const;
  bool InWindow(int64_t t) const {
    return !options_.window || (t >= (*options_.window)[0] && t <= (*options_.window)[1]);
  }
  PlotOptions options_;
  std::vector<VarHandle> handles_, bins_;
  std::vector<std::vector<Point>> points_;           // time plots: the changes
  std::vector<int32_t> before_;                      // value standing before the window
  std::vector<std::map<int32_t, int32_t>> spectra_;  // spectrum plots: bin -> last value
  int64_t end_ = 0;
};

// Runs gnuplot on a script in `folder`; false with its complaint.
bool RunGnuplot(const std::string& folder, const std::string& script, std::string& error);
