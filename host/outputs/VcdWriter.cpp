#include "VcdWriter.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "OutputFile.h"
#include "numeric/ValueText.h"

namespace fs = std::filesystem;

VcdWriter::VcdWriter(const std::string& path, std::vector<std::string> names, std::string timescale,
                     std::vector<VcdScope> scopes, std::map<std::string, int32_t> signModes)
    : file_(path),
      names_(std::move(names)),
      timescale_(std::move(timescale)),
      scopes_(std::move(scopes)),
      signModes_(std::move(signModes)) {}

std::string VcdWriter::IdentifierCode(size_t index) {
  // Printable characters '!' .. '~', least significant first.
  std::string id;
  do {
    id += static_cast<char>('!' + index % 94);
    index /= 94;
  } while (index != 0);
  return id;
}

std::string VcdWriter::Reference(const std::string& name) {
  std::string r = name;
  for (char& c : r)
    if (c <= ' ' || c > '~') c = '_';
  return r;
}

void VcdWriter::Emit(size_t k, const HostVariable& v) {
  // The text only here, where the file needs it.
  if (v.odd) {
    text_ = v.oddText;
  } else {
    text_.resize(static_cast<size_t>(v.value.Length()) + 1);
    FormValueText(v.value, text_.data());
    text_.pop_back();
  }
  const std::string& value = text_;
  if (value.size() == 1) {
    buffer_ += value[0] == '0' || value[0] == '1' ? value[0] : 'x';
  } else {
    buffer_ += 'b';
    for (char c : value) buffer_ += c == '0' || c == '1' ? c : 'x';
    buffer_ += ' ';
  }
  buffer_ += ids_[k];
  buffer_ += '\n';
  if (companion_[k] >= 0) {
    buffer_ += 'r';
    buffer_ += std::to_string(DecodeValueBits(modes_[k], v.value));
    buffer_ += ' ';
    buffer_ += realIds_[static_cast<size_t>(companion_[k])];
    buffer_ += '\n';
  }
  last_[k] = v.value;
  lastOdd_[k] = v.odd ? v.oddText : std::string();
}

void VcdWriter::Begin(const VariableStore& store) {
  if (names_.empty())
    for (const HostVariable& v : store.All()) names_.push_back(v.name);
  std::map<std::string, size_t> index;
  size_t codes = 0;
  for (size_t k = 0; k < names_.size(); ++k) {
    handles_.push_back(store.Find(names_[k]));
    ids_.push_back(IdentifierCode(codes++));
    index[names_[k]] = k;
  }
  for (size_t k = 0; k < names_.size(); ++k) {
    const HostVariable* v = store.Get(handles_[k]);
    const bool bus = v->kind == vkBus || v->kind == vkDOTBus;
    companion_.push_back(bus ? static_cast<int>(realIds_.size()) : -1);
    if (bus) realIds_.push_back(IdentifierCode(codes++));
    const auto mode = signModes_.find(names_[k]);
    modes_.push_back(mode != signModes_.end() ? mode->second : 0);
  }
  // The same codes again under each block's port names.
  auto declare = [&](std::string& h, size_t k, const std::string& as) {
    const HostVariable* v = store.Get(handles_[k]);
    h += "$var wire " + std::to_string(v->width) + " " + ids_[k] + " " + Reference(as) +
         (v->width > 1 ? " [" + std::to_string(v->width - 1) + ":0]" : "") + " $end\n";
    if (companion_[k] >= 0)
      h += "$var real 64 " + realIds_[static_cast<size_t>(companion_[k])] + " " + Reference(CompanionName(as)) +
           " $end\n";
  };
  std::string h = "$version rir-eda $end\n$timescale " + timescale_ + " $end\n$scope module " + kTopScope + " $end\n";
  for (size_t k = 0; k < names_.size(); ++k) declare(h, k, names_[k]);
  for (const VcdScope& s : scopes_) {
    std::string body;
    for (const auto& [port, var] : s.ports) {
      const auto it = index.find(var);
      if (it != index.end()) declare(body, it->second, port);
    }
    if (!body.empty()) h += "$scope module " + Reference(s.name) + " $end\n" + body + "$upscope $end\n";
  }
  h += "$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n";
  file_.Write(h);
  last_.resize(names_.size());
  lastOdd_.resize(names_.size());
  for (size_t k = 0; k < names_.size(); ++k) Emit(k, *store.Get(handles_[k]));
  buffer_ += "$end\n";
  file_.Write(buffer_);
  buffer_.clear();
}

void VcdWriter::Sample(int64_t time, const VariableStore& store) {
  bool stamped = time == lastTime_;
  for (size_t k = 0; k < handles_.size(); ++k) {
    const HostVariable& v = *store.Get(handles_[k]);
    if (v.value == last_[k] && (!v.odd || v.oddText == lastOdd_[k]) && (v.odd || lastOdd_[k].empty())) continue;
    if (!stamped) {
      buffer_ += '#' + std::to_string(time) + '\n';
      stamped = true;
      lastTime_ = time;
    }
    Emit(k, v);
  }
  if (buffer_.size() > (1u << 16)) {
    file_.Write(buffer_);
    buffer_.clear();
  }
}

void VcdWriter::End(int64_t time) {
  endTime_ = time;
  if (time > lastTime_) buffer_ += '#' + std::to_string(time) + '\n';
  file_.Write(buffer_);
  buffer_.clear();
}

void VcdWriter::AlsoSave(std::string gtkwPath, std::vector<GtkwTrace> traces) {
  gtkw_ = std::move(gtkwPath);
  traces_ = std::move(traces);
}

bool VcdWriter::Commit(std::vector<WrittenFile>& files, std::string& error) {
  if (!Commit()) {
    error = "cannot write " + file_.Path();
    return false;
  }
  files.push_back({"VCD", file_.Path()});
  if (gtkw_.empty()) return true;
  // The save file sits beside the VCD in most designs: name it relative then.
  const fs::path absVcd = fs::absolute(file_.Path()).lexically_normal();
  const fs::path rel = absVcd.lexically_relative(fs::absolute(gtkw_).lexically_normal().parent_path());
  const bool beside = !rel.empty() && *rel.begin() != "..";
  const std::string dump = beside ? rel.string() : absVcd.string();
  const std::string save =
      beside ? fs::path(gtkw_).filename().string() : fs::absolute(gtkw_).lexically_normal().string();
  OutputFile file(gtkw_);
  file.Write(GtkwSaveText(dump, save, traces_, endTime_));
  if (!file.Commit()) {
    error = "cannot write " + gtkw_;
    return false;
  }
  files.push_back({"GTKWave save file", gtkw_});
  return true;
}

std::string GtkwSaveText(const std::string& vcdFile, const std::string& saveFile, const std::vector<GtkwTrace>& traces,
                         int64_t endTime) {
  // At zoom z the wave pane of a 1280-pixel GTKWave window shows about
  // 3.9 * 2^-z time units (measured with GTKWave 3.3). The marker and the 26
  // named markers are unset.
  const double zoom = endTime > 0 ? -std::log2(static_cast<double>(endTime) / 3.7) : 0.0;
  char zoomText[64];
  std::snprintf(zoomText, sizeof zoomText, "*%.6f -1", zoom);
  std::string markers = zoomText;
  for (int i = 0; i < 26; ++i) markers += " -1";
  markers += "\n";
  std::string s = "[*] GTKWave save file written by rir-eda\n[dumpfile] \"" + vcdFile + "\"\n[savefile] \"" + saveFile +
                  "\"\n[timestart] 0\n[size] 1280 800\n[pos] -1 -1\n" + markers + "[treeopen] " + VcdWriter::kTopScope +
                  ".\n[sst_width] 220\n[signals_width] 200\n[sst_expanded] 1\n"
                  "[sst_vpaned_height] 220\n";
  for (const GtkwTrace& t : traces) {
    const std::string name = std::string(VcdWriter::kTopScope) + "." +
                             VcdWriter::Reference(t.analog ? VcdWriter::CompanionName(t.variable) : t.variable);
    if (t.analog) {
      // A real value as a stepped analog trace, stretched over four rows.
      s += "@48020\n" + name + "\n@20000\n-\n-\n-\n";
    } else {
      s += "@28\n" + name + "\n";
    }
  }
  s += "[pattern_trace] 1\n[pattern_trace] 0\n";
  return s;
}
