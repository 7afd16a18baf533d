#include "PngPlot.h"

#include <png.h>

#include <algorithm>
#include <cstdio>

#include "numeric/ValueText.h"

PngPlot::PngPlot(std::string path, std::vector<std::string> names, std::vector<int32_t> signModes, int width,
                 int panelHeight)
    : path_(std::move(path)),
      names_(std::move(names)),
      signModes_(std::move(signModes)),
      width_(width),
      panelHeight_(panelHeight) {}

void PngPlot::Begin(const VariableStore& store) {
  for (const std::string& n : names_) handles_.push_back(store.Find(n));
  series_.resize(names_.size());
  Sample(0, store);
}

void PngPlot::Sample(int64_t time, const VariableStore& store) {
  for (size_t k = 0; k < handles_.size(); ++k) {
    const int32_t v = DecodeValueText(signModes_[k], store.Get(handles_[k])->value);
    auto& s = series_[k];
    if (!s.empty() && s.back().value == v) continue;
    if (!s.empty() && s.back().time == time)
      s.back().value = v;
    else
      s.push_back({time, v});
  }
}

void PngPlot::End(int64_t time) { end_ = std::max<int64_t>(time, 1); }

namespace {
struct Canvas {
  int w, h;
  std::vector<uint8_t> rgb;
  Canvas(int w, int h) : w(w), h(h), rgb(static_cast<size_t>(w) * h * 3, 255) {}
  void Put(int x, int y, const uint8_t* c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    std::copy(c, c + 3, &rgb[(static_cast<size_t>(y) * w + x) * 3]);
  }
  void VLine(int x, int y0, int y1, const uint8_t* c) {
    if (y0 > y1) std::swap(y0, y1);
    for (int y = y0; y <= y1; ++y) Put(x, y, c);
  }
  void HLine(int x0, int x1, int y, const uint8_t* c) {
    for (int x = x0; x <= x1; ++x) Put(x, y, c);
  }
};

constexpr uint8_t kFrame[3] = {120, 120, 120};
constexpr uint8_t kZero[3] = {210, 210, 210};
constexpr uint8_t kColours[4][3] = {{31, 119, 180}, {214, 39, 40}, {44, 160, 44}, {148, 103, 189}};
constexpr const char* kColourNames[4] = {"blue", "red", "green", "purple"};
}  // namespace

std::string PngPlot::Legend() const {
  std::string legend;
  for (size_t k = 0; k < series_.size(); ++k) {
    int32_t lo = 0, hi = 0;
    if (!series_[k].empty()) lo = hi = series_[k][0].value;
    for (const Point& p : series_[k]) lo = std::min(lo, p.value), hi = std::max(hi, p.value);
    legend += "panel " + std::to_string(k + 1) + " (" + kColourNames[k % 4] + "): " + names_[k] + ", " +
              std::to_string(lo) + " .. " + std::to_string(hi) + ", time 0 .. " + std::to_string(end_) + "\n";
  }
  return legend;
}

bool PngPlot::Commit() {
  const int margin = 10;
  const int panels = std::max<int>(1, static_cast<int>(series_.size()));
  Canvas c(width_, panels * (panelHeight_ + margin) + margin);
  const int plotW = width_ - 2 * margin;
  for (size_t k = 0; k < series_.size(); ++k) {
    const auto& s = series_[k];
    const int top = margin + static_cast<int>(k) * (panelHeight_ + margin);
    const int bottom = top + panelHeight_ - 1;
    c.HLine(margin, margin + plotW - 1, top, kFrame);
    c.HLine(margin, margin + plotW - 1, bottom, kFrame);
    c.VLine(margin, top, bottom, kFrame);
    c.VLine(margin + plotW - 1, top, bottom, kFrame);
    if (s.empty()) continue;
    int32_t lo = s[0].value, hi = s[0].value;
    for (const Point& p : s) lo = std::min(lo, p.value), hi = std::max(hi, p.value);
    const double span = hi > lo ? static_cast<double>(hi) - lo : 1.0;
    auto y = [&](int32_t v) { return bottom - 2 - static_cast<int>((static_cast<double>(v) - lo) / span * (panelHeight_ - 5)); };
    if (lo < 0 && hi > 0) c.HLine(margin + 1, margin + plotW - 2, y(0), kZero);
    // Per column: the value entering it and every value taken inside it.
    size_t i = 0;
    int32_t carried = s[0].value;
    int prevY = y(carried);
    for (int col = 0; col < plotW - 2; ++col) {
      const int64_t colEnd = static_cast<int64_t>(static_cast<double>(col + 1) / (plotW - 2) * end_);
      int32_t mn = carried, mx = carried;
      while (i < s.size() && s[i].time < colEnd) {
        carried = s[i].value;
        mn = std::min(mn, carried), mx = std::max(mx, carried);
        ++i;
      }
      const int x = margin + 1 + col;
      c.VLine(x, y(mn), y(mx), kColours[k % 4]);
      c.VLine(x, prevY, y(carried), kColours[k % 4]);
      prevY = y(carried);
    }
  }
  return WritePng(path_, c.w, c.h, c.rgb, Legend());
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              const std::string& description) {
  const std::string temp = path + ".partial";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = png != nullptr && info != nullptr;
  if (ok && setjmp(png_jmpbuf(png)) != 0) ok = false;
  if (ok) {
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_text text[2] = {};
    text[0].compression = PNG_TEXT_COMPRESSION_NONE;
    text[0].key = const_cast<char*>("Software");
    text[0].text = const_cast<char*>("rir-eda");
    text[1].compression = PNG_TEXT_COMPRESSION_NONE;
    text[1].key = const_cast<char*>("Description");
    text[1].text = const_cast<char*>(description.c_str());
    png_set_text(png, info, text, description.empty() ? 1 : 2);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
      png_write_row(png, const_cast<png_bytep>(&rgb[static_cast<size_t>(y) * width * 3]));
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}
