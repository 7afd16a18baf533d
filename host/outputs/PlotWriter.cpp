#include "PlotWriter.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "OutputFile.h"
#include "numeric/ValueText.h"

namespace fs = std::filesystem;

namespace {
// A gnuplot string literal: single quotes, a quote doubled.
std::string Quote(const std::string& text) {
  std::string q = "'";
  for (char c : text) {
    if (c == '\'') q += '\'';
    if (c != '\n' && c != '\r') q += c;
  }
  return q + "'";
}
}  // namespace

PlotWriter::PlotWriter(PlotOptions options) : options_(std::move(options)) {}

std::string PlotWriter::Beside(const char* extension) const {
  return fs::path(options_.image).replace_extension(extension).string();
}

void PlotWriter::Begin(const VariableStore& store) {
  const size_t n = options_.series.size();
  for (const PlotSeries& s : options_.series) {
    handles_.push_back(store.Find(s.variable));
    bins_.push_back(s.binVariable.empty() ? 0 : store.Find(s.binVariable));
  }
  points_.assign(n, {});
  before_.assign(n, 0);
  envelopes_.assign(n, {});
  dense_.assign(n, 0);
  spectra_.assign(n, {});
  Sample(0, store);
}

void PlotWriter::Sample(int64_t time, const VariableStore& store) {
  end_ = std::max(end_, time);
  for (size_t k = 0; k < handles_.size(); ++k) {
    const int32_t y = DecodeValueBits(options_.series[k].signMode, store.Get(handles_[k])->value);
    if (Spectrum(k)) {
      if (!InWindow(time) || bins_[k] == 0) continue;
      const int32_t bin = DecodeValueBits(options_.series[k].signMode, store.Get(bins_[k])->value);
      spectra_[k][bin] = y;
      continue;
    }
    if (options_.window && time < (*options_.window)[0]) {
      before_[k] = y;
      continue;
    }
    if (!InWindow(time)) continue;
    Take(k, time, y);
  }
}

void PlotWriter::Take(size_t k, int64_t time, int32_t y) {
  Envelope& e = envelopes_[k];
  if (!e.hasPending && e.columns.empty()) e.standing = before_[k];
  // Only the value settled at a time counts: fold a time once the next one comes.
  if (e.hasPending && time != e.pendingTime) Fold(e, e.pendingTime, e.pendingValue);
  e.pendingTime = time;
  e.pendingValue = y;
  e.hasPending = true;
  if (Dense(k)) return;
  std::vector<Point>& p = points_[k];
  if (!p.empty() && p.back().x == time) {
    p.back().y = y;  // the settled value of this time wins
    if (p.size() > 1 && p[p.size() - 2].y == y) p.pop_back();
  } else if (p.empty() || p.back().y != y) {
    p.push_back({time, y});
  }
  if (p.size() > PointLimit()) {
    dense_[k] = 1;
    std::vector<Point>().swap(p);
  }
}

size_t PlotWriter::Column(Envelope& e, int64_t time) const {
  const size_t columns = static_cast<size_t>(std::max(options_.width, 1));
  for (;;) {
    const auto index = static_cast<size_t>((time - From()) / e.width);
    if (index < columns) return index;
    std::vector<Envelope::Column> merged;
    for (size_t i = 0; i < e.columns.size(); i += 2) {
      Envelope::Column c = e.columns[i];
      if (i + 1 < e.columns.size()) {
        c.lo = std::min(c.lo, e.columns[i + 1].lo);
        c.hi = std::max(c.hi, e.columns[i + 1].hi);
      }
      merged.push_back(c);
    }
    e.columns = std::move(merged);
    e.width *= 2;
  }
}

void PlotWriter::Fold(Envelope& e, int64_t time, int32_t y) const {
  const size_t index = Column(e, time);
  while (e.columns.size() <= index) {
    // A column opening with this change never shows the value before it.
    const bool opensHere = e.columns.size() == index && time == From() + static_cast<int64_t>(index) * e.width;
    e.columns.push_back(opensHere ? Envelope::Column{y, y} : Envelope::Column{e.standing, e.standing});
  }
  Envelope::Column& c = e.columns[index];
  c.lo = std::min(c.lo, y);
  c.hi = std::max(c.hi, y);
  e.standing = y;
}

void PlotWriter::End(int64_t time) {
  end_ = std::max(end_, time);
  const int64_t from = From();
  const int64_t to = To();
  for (size_t k = 0; k < points_.size(); ++k) {
    if (Spectrum(k)) continue;
    Envelope& e = envelopes_[k];
    if (e.hasPending) Fold(e, e.pendingTime, e.pendingValue);
    e.hasPending = false;
    if (Dense(k)) {
      if (to > from) Fold(e, to - 1, e.standing);  // the last value held to the end
      continue;
    }
    std::vector<Point>& p = points_[k];
    // The value standing at the window's start, and the last value held to its end.
    if (p.empty() || p.front().x > from) p.insert(p.begin(), {from, before_[k]});
    if (p.back().x < to) p.push_back({to, p.back().y});
  }
}

std::string PlotWriter::DataText() const {
  std::string d;
  for (size_t k = 0; k < options_.series.size(); ++k) {
    if (k > 0) d += "\n\n";
    const PlotSeries& s = options_.series[k];
    if (Spectrum(k)) {
      d += "# index " + std::to_string(k) + ": " + s.variable + " against the bins on " + s.binVariable + "\n";
      for (const auto& [bin, value] : spectra_[k]) d += std::to_string(bin) + " " + std::to_string(value) + "\n";
    } else if (Dense(k)) {
      const Envelope& e = envelopes_[k];
      d += "# index " + std::to_string(k) + ": time, least and greatest value of " + s.variable + " in each span of " +
           std::to_string(e.width) + " (a min/max envelope; the CSV and VCD hold every value)\n";
      for (size_t i = 0; i < e.columns.size(); ++i) {
        const std::string range = " " + std::to_string(e.columns[i].lo) + " " + std::to_string(e.columns[i].hi) + "\n";
        const int64_t x = From() + static_cast<int64_t>(i) * e.width;
        d += std::to_string(x) + range + std::to_string(std::clamp(To(), x, x + e.width)) + range;
      }
    } else {
      d += "# index " + std::to_string(k) + ": time, " + s.variable + " (changes only)\n";
      for (const Point& p : points_[k]) d += std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
    }
  }
  return d;
}

std::string PlotWriter::ScriptText() const {
  const size_t n = options_.series.size();
  const std::string png = fs::path(options_.image).filename().string();
  const std::string svg = fs::path(Svg()).filename().string();
  const std::string data = fs::path(Data()).filename().string();
  const std::string size =
      std::to_string(options_.width) + "," + std::to_string(std::max<size_t>(options_.panelHeight * n + 60, 400));
  size_t spectra = 0;
  for (size_t k = 0; k < n; ++k) spectra += Spectrum(k) ? 1 : 0;
  // Panels of one kind share their x axis, set once.
  const bool mixed = spectra != 0 && spectra != n;
  std::string s = "# " + options_.title + ", drawn by rir-eda.\n# Redraw after a change with: gnuplot " +
                  fs::path(Script()).filename().string() + "\n# " + data +
                  " holds one block per panel (index 0, 1, ...): " +
                  (mixed         ? "time and value at each change, or bin and value for a spectrum.\n"
                   : spectra > 0 ? "bin and value.\n"
                                 : "time and value at each change.\n");
  s += "data = " + Quote(data) + "\n";
  s += "do for [target = 1:2] {\n";
  s += "  if (target == 1) {\n    set terminal pngcairo noenhanced size " + size + " font 'sans,10'\n    set output " +
       Quote(png) + "\n  } else {\n    set terminal svg noenhanced size " + size +
       " dynamic font 'sans,10'\n    set output " + Quote(svg) + "\n  }\n";
  s += "  set multiplot layout " + std::to_string(n) + ",1 title " + Quote(options_.title) + "\n";
  s += "  set grid\n  set key top right box opaque\n";
  if (!mixed && n > 0) s += AxisScript(0, false);
  for (size_t k = 0; k < n; ++k) s += (mixed ? AxisScript(k, true) : std::string()) + PanelScript(k);
  s += "  unset multiplot\n  set output\n}\n";
  return s;
}

// The x axis of panel k: its bins, or model time over the window; `again`
// when a panel before may have set another.
std::string PlotWriter::AxisScript(size_t k, bool again) const {
  if (Spectrum(k)) return again ? "  set xlabel 'bin'\n  set autoscale x\n" : "  set xlabel 'bin'\n";
  const int64_t from = options_.window ? (*options_.window)[0] : 0;
  const int64_t to = options_.window ? (*options_.window)[1] : std::max<int64_t>(end_, 1);
  return "  set xlabel " + Quote("time (" + options_.timeUnit + ")") + "\n  set xrange [" + std::to_string(from) + ":" +
         std::to_string(to) + "]\n";
}

// Panel k's title and plot command.
std::string PlotWriter::PanelScript(size_t k) const {
  const PlotSeries& p = options_.series[k];
  const std::string mode = p.signMode == 0 ? "sign-magnitude" : "unsigned";
  std::string s =
      "  set title " + Quote(p.variable + (p.writer.empty() ? std::string() : ", written by block " + p.writer)) + "\n";
  s += "  set ylabel " + Quote("value (" + mode + ")") + "\n";
  const std::string color = std::to_string(k + 1);
  const std::string index = " index " + std::to_string(k);
  if (Spectrum(k))
    return s + "  plot data" + index + " using 1:2 with impulses lw 2 lc " + color + " title " + Quote(p.variable) +
           ", ''" + index + " using 1:2 with points pt 7 ps 0.5 lc " + color + " notitle\n";
  // A band between the least and greatest values, its edges drawn so that a flat stretch still shows.
  if (Dense(k))
    return s + "  plot data" + index + " using 1:2:3 with filledcurves fs solid 0.4 noborder lc " + color + " title " +
           Quote(p.variable + " (min/max)") + ", ''" + index + " using 1:2 with lines lw 1 lc " + color +
           " notitle, ''" + index + " using 1:3 with lines lw 1 lc " + color + " notitle\n";
  return s + "  plot data" + index + " using 1:2 with steps lw 1.5 lc " + color + " title " + Quote(p.variable) + "\n";
}

bool PlotWriter::Commit(std::string& error) {
  OutputFile script(Script()), data(Data());
  script.Write(ScriptText());
  data.Write(DataText());
  if (!script.Commit() || !data.Commit()) {
    error = "cannot write " + Script() + " or " + Data();
    return false;
  }
  const fs::path folder = fs::path(options_.image).parent_path();
  if (!RunGnuplot(folder.empty() ? "." : folder.string(), fs::path(Script()).filename().string(), error)) {
    std::error_code ec;
    fs::remove(options_.image, ec);
    fs::remove(Svg(), ec);
    return false;
  }
  return true;
}

bool PlotWriter::Commit(std::vector<WrittenFile>& files, std::string& error) {
  if (!Commit(error)) return false;
  files.push_back({"plot", options_.image});
  files.push_back({"plot", Svg()});
  files.push_back({"plot script", Script()});
  files.push_back({"plot data", Data()});
  return true;
}

bool RunGnuplot(const std::string& folder, const std::string& script, std::string& error) {
  int pipeFd[2];
  if (pipe(pipeFd) != 0) {
    error = "cannot start gnuplot";
    return false;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    close(pipeFd[0]);
    close(pipeFd[1]);
    error = "cannot start gnuplot";
    return false;
  }
  if (pid == 0) {
    // Its own process group: a Ctrl-C on the terminal stops the run, and the
    // plot of what was recorded is still drawn.
    setpgid(0, 0);
    dup2(pipeFd[1], STDERR_FILENO);
    dup2(pipeFd[1], STDOUT_FILENO);
    close(pipeFd[0]);
    close(pipeFd[1]);
    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) dup2(devNull, STDIN_FILENO);
    if (chdir(folder.c_str()) != 0) _exit(126);
    execlp("gnuplot", "gnuplot", script.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFd[1]);
  std::string said;
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipeFd[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
    if (got > 0) said.append(buffer, static_cast<size_t>(got));
  close(pipeFd[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  while (!said.empty() && (said.back() == '\n' || said.back() == ' ')) said.pop_back();
  if (code == 127) {
    error = "gnuplot is not installed (Debian package gnuplot-nox)";
    return false;
  }
  // gnuplot says nothing when all went well: anything it says is a fault.
  if (code != 0 || !said.empty()) {
    error = "gnuplot failed on " + (fs::path(folder) / script).string() + (said.empty() ? "" : ": " + said);
    return false;
  }
  return true;
}
