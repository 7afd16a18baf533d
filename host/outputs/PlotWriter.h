// Plots chosen buses with gnuplot: writes a gnuplot script and its data
// beside the image, then runs gnuplot on them to draw a PNG and an SVG.
// A user can restyle the script and redraw with "gnuplot NAME.gp".
// A time panel with more changes than a few per pixel column is drawn as a
// min/max envelope, one column per pixel at most; the data file holds what
// is drawn, while CSV and VCD keep every value.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "OutputSink.h"
#include "host/engine/InProcessHost.h"

// A panel draws a bus over model time, or a buffer block's results over
// their bins (the last value of each bin).
enum class PlotKind { Time, Spectrum };

struct PlotSeries {
  std::string variable;
  std::string writer;  // the writing block, shown in the title ("" = none)
  int32_t signMode = 0;
  std::string binVariable;  // spectrum: the variable holding each result's bin
  PlotKind kind = PlotKind::Time;
};

struct PlotOptions {
  std::string image;  // "out/x.png"; "x.svg", "x.gp" and "x.dat" go beside it
  std::vector<PlotSeries> series;
  std::optional<std::array<int64_t, 2>> window;  // model time
  std::string timeUnit = "1 ns";
  std::string title;  // of the whole figure
  int width = 1200, panelHeight = 240;
};

class PlotWriter : public OutputSink {
 public:
  explicit PlotWriter(PlotOptions options);
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
  bool Ok() const override { return true; }
  std::string MainPath() const override { return options_.image; }
  bool Commit(std::vector<WrittenFile>& files, std::string& error) override;
  // Changes a panel draws one by one; beyond them, an envelope.
  size_t PointLimit() const { return kPointsPerColumn * static_cast<size_t>(options_.width); }
  static constexpr size_t kPointsPerColumn = 4;
  // The script's text (the data file named as it will be).
  std::string ScriptText() const;
  std::string DataText() const;

 private:
  struct Point {
    int64_t x;
    int32_t y;
  };
  // Least and greatest value standing during each column of `width` time
  // units from the panel's start; the width doubles as the run outgrows them.
  struct Envelope {
    struct Column {
      int32_t lo, hi;
    };
    int64_t width = 1;
    std::vector<Column> columns;
    int32_t standing = 0;
    int64_t pendingTime = 0;
    int32_t pendingValue = 0;
    bool hasPending = false;
  };
  std::string Beside(const char* extension) const;
  std::string AxisScript(size_t k, bool again) const;
  std::string PanelScript(size_t k) const;
  int64_t From() const { return options_.window ? (*options_.window)[0] : 0; }
  int64_t To() const { return options_.window ? std::min((*options_.window)[1], end_) : end_; }
  bool Dense(size_t k) const { return dense_[k] != 0; }
  bool Spectrum(size_t k) const { return options_.series[k].kind == PlotKind::Spectrum; }
  void Take(size_t k, int64_t time, int32_t y);
  void Fold(Envelope& e, int64_t time, int32_t y) const;
  size_t Column(Envelope& e, int64_t time) const;
  bool InWindow(int64_t t) const {
    return !options_.window || (t >= (*options_.window)[0] && t <= (*options_.window)[1]);
  }
  PlotOptions options_;
  std::vector<VarHandle> handles_, bins_;
  std::vector<std::vector<Point>> points_;           // time plots: the changes
  std::vector<int32_t> before_;                      // value standing before the window
  std::vector<std::map<int32_t, int32_t>> spectra_;  // spectrum plots: bin -> last value
  std::vector<Envelope> envelopes_;
  std::vector<char> dense_;  // per panel: too many changes, drawn as an envelope
  int64_t end_ = 0;
};

// Runs gnuplot on a script in `folder`; false with its complaint.
bool RunGnuplot(const std::string& folder, const std::string& script, std::string& error);
