// Plots chosen buses over time as a PNG image: one panel per bus, each
// scaled to its own range, drawn with the minimum and maximum per column.
#pragma once

#include <string>
#include <vector>

#include "InProcessHost.h"
#include "Recorder.h"

class PngPlot : public Recorder {
 public:
  PngPlot(std::string path, std::vector<std::string> names, std::vector<int32_t> signModes, int width = 1200,
          int panelHeight = 200);
  void Begin(const VariableStore& store) override;
  void Sample(int64_t time, const VariableStore& store) override;
  void End(int64_t time) override;
  // Renders and writes the image under a temporary name, then renames it.
  bool Commit();
  // One line per panel, top first: the bus, its colour and its range.
  std::string Legend() const;

 private:
  struct Point {
    int64_t time;
    int32_t value;
  };
  std::string path_;
  std::vector<std::string> names_;
  std::vector<int32_t> signModes_;
  std::vector<VarHandle> handles_;
  std::vector<std::vector<Point>> series_;
  int width_, panelHeight_;
  int64_t end_ = 0;
};

// Writes RGB rows (3 bytes per pixel) as a PNG file with a description
// text chunk; false on failure.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              const std::string& description = "");
