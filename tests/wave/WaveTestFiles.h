// Crafting and inspecting WAVE files byte by byte for the wave tests.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void PutId(Bytes& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}
inline uint32_t Get32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline uint16_t Get16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

struct WaveShape {
  uint16_t channels = 1;
  uint16_t bits = 8;
  uint32_t rate = 8000;
  uint32_t formatSize = 16;  // 18 adds a cbSize word
  int factSize = -1;         // >= 0: a "fact" chunk of that size before "data"
  bool listBeforeData = false;
  int64_t claimedDataSize = -1;  // >= 0: the data size field, whatever follows
  Bytes trailer;                 // bytes after the data chunk
};

// A RIFF/WAVE file holding `data` as its sample bytes.
inline Bytes MakeWave(const WaveShape& s, const Bytes& data) {
  Bytes body;
  PutId(body, "WAVE");
  PutId(body, "fmt ");
  Put32(body, s.formatSize);
  Put16(body, 1);
  Put16(body, s.channels);
  Put32(body, s.rate);
  Put32(body, s.rate * s.channels * s.bits / 8);
  Put16(body, s.channels * s.bits / 8);
  Put16(body, s.bits);
  if (s.formatSize == 18) Put16(body, 0);
  if (s.factSize >= 0) {
    PutId(body, "fact");
    Put32(body, static_cast<uint32_t>(s.factSize));
    for (int i = 0; i < s.factSize; ++i) body.push_back(static_cast<uint8_t>(i));
  }
  if (s.listBeforeData) {
    PutId(body, "LIST");
    Put32(body, 4);
    PutId(body, "INFO");
  }
  PutId(body, "data");
  Put32(body, s.claimedDataSize >= 0 ? static_cast<uint32_t>(s.claimedDataSize) : static_cast<uint32_t>(data.size()));
  body.insert(body.end(), data.begin(), data.end());
  body.insert(body.end(), s.trailer.begin(), s.trailer.end());
  Bytes file;
  PutId(file, "RIFF");
  Put32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh directory per test, removed afterwards. Path ends without "/" and
// is short, so that a file in it still fits a record's 55-character name.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const size_t tag = std::hash<std::string>{}(info != nullptr ? info->name() : "") % 1000000;
    path_ = std::filesystem::path("/tmp") / ("rw" + std::to_string(::getpid()) + "_" + std::to_string(tag));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  std::string Str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// Runs a shell command; returns its standard output, and its exit status in `status`.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (p == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
  const int rc = ::pclose(p);
  if (status != nullptr) *status = rc;
  return out;
}
