#include "VcdWriter.h"

VcdWriter::VcdWriter(const std::string& path, std::vector<std::string> names)
    : file_(path), names_(std::move(names)) {}

std::string VcdWriter::IdentifierCode(size_t index) {
  // Printable characters '!' .. '~', least significant first.
  std::string id;
  do {
    id += static_cast<char>('!' + index % 94);
    index /= 94;
  } while (index != 0);
  return id;
}

namespace {
std::string Reference(const std::string& name) {
  std::string r = name;
  for (char& c : r)
    if (c <= ' ' || c > '~') c = '_';
  return r;
}
}  // namespace

void VcdWriter::Emit(size_t k, const std::string& value) {
  if (value.size() == 1) {
    buffer_ += value[0] == '0' || value[0] == '1' ? value[0] : 'x';
  } else {
    buffer_ += 'b';
    for (char c : value) buffer_ += c == '0' || c == '1' ? c : 'x';
    buffer_ += ' ';
  }
  buffer_ += ids_[k];
  buffer_ += '\n';
  last_[k] = value;
}

void VcdWriter::Begin(const VariableStore& store) {
  if (names_.empty())
    for (const HostVariable& v : store.All()) names_.push_back(v.name);
  std::string h = "$version rir-eda $end\n$timescale 1ns $end\n$scope module design $end\n";
  for (size_t k = 0; k < names_.size(); ++k) {
    handles_.push_back(store.Find(names_[k]));
    ids_.push_back(IdentifierCode(k));
    const HostVariable* v = store.Get(handles_.back());
    h += "$var wire " + std::to_string(v->width) + " " + ids_[k] + " " + Reference(v->name) +
         (v->width > 1 ? " [" + std::to_string(v->width - 1) + ":0]" : "") + " $end\n";
  }
  h += "$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n";
  file_.Write(h);
  last_.resize(names_.size());
  for (size_t k = 0; k < names_.size(); ++k) Emit(k, store.Get(handles_[k])->value);
  buffer_ += "$end\n";
  file_.Write(buffer_);
  buffer_.clear();
}

void VcdWriter::Sample(int64_t time, const VariableStore& store) {
  bool stamped = time == lastTime_;
  for (size_t k = 0; k < handles_.size(); ++k) {
    const std::string& value = store.Get(handles_[k])->value;
    if (value == last_[k]) continue;
    if (!stamped) {
      buffer_ += '#' + std::to_string(time) + '\n';
      stamped = true;
      lastTime_ = time;
    }
    Emit(k, value);
  }
  if (buffer_.size() > (1u << 16)) {
    file_.Write(buffer_);
    buffer_.clear();
  }
}

void VcdWriter::End(int64_t time) {
  if (time > lastTime_) buffer_ += '#' + std::to_string(time) + '\n';
  file_.Write(buffer_);
  buffer_.clear();
}
