#include "WaveFileCheck.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {

uint32_t Le(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

std::string Id(const uint8_t* p) { return std::string(reinterpret_cast<const char*>(p), 4); }

// The usual names of WAVE format tags.
std::string FormatName(uint32_t tag) {
  switch (tag) {
    case 1:
      return "PCM";
    case 2:
      return "ADPCM";
    case 3:
      return "IEEE float";
    case 6:
      return "A-law";
    case 7:
      return "mu-law";
    case 0x11:
      return "IMA ADPCM";
    case 0x55:
      return "MP3";
    default:
      return "format " + std::to_string(tag);
  }
}

}  // namespace

std::string WaveFileProblem(HostLanguage lang, const std::string& path) {
  const bool ru = lang == HostLanguage::Russian;
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(st)) return (ru ? "файл не найден: " : "file not found: ") + path;
  if (!std::filesystem::is_regular_file(st))
    return ru ? path + " не является обычным файлом" : path + " is not a regular file";
  std::ifstream in(path, std::ios::binary);
  if (!in) return (ru ? "не могу прочитать " : "cannot read ") + path;
  std::array<uint8_t, 12> riff{};
  const std::string notWave = ru ? path + " не является файлом RIFF WAVE" : path + " is not a RIFF WAVE file";
  if (!in.read(reinterpret_cast<char*>(riff.data()), riff.size()) || Id(riff.data()) != "RIFF" ||
      Id(riff.data() + 8) != "WAVE")
    return notWave;
  std::array<uint8_t, 8> head{};
  if (!in.read(reinterpret_cast<char*>(head.data()), head.size()) || Id(head.data()) != "fmt ") return notWave;
  const uint32_t fmtSize = Le(head.data() + 4, 4);
  std::array<uint8_t, 40> fmt{};
  if (fmtSize < 16 || !in.read(reinterpret_cast<char*>(fmt.data()), std::min<uint32_t>(fmtSize, 40))) return notWave;
  uint32_t tag = Le(fmt.data(), 2);
  const uint32_t channels = Le(fmt.data() + 2, 2), bits = Le(fmt.data() + 14, 2);
  if (tag == 0xFFFE && fmtSize >= 26) tag = Le(fmt.data() + 24, 2);  // the extensible form names its sub-format
  if (tag != 1 || (bits != 8 && bits != 16))
    return ru ? path + ": " + std::to_string(bits) + "-битные отсчёты " + FormatName(tag) +
                    "; проигрыватель читает только 8- или 16-битный PCM"
              : path + " holds " + std::to_string(bits) + "-bit " + FormatName(tag) +
                    " samples; the player reads 8- or 16-bit PCM only";
  if (channels < 1 || channels > 4)
    return ru ? path + ": каналов " + std::to_string(channels) + "; проигрыватель читает от 1 до 4"
              : path + " has " + std::to_string(channels) + " channels; the player reads 1 to 4";
  // The player reads a 16-byte format chunk, then at most a 4-byte "fact"
  // chunk, then the samples.
  if (fmtSize != 16)
    return ru ? path + ": блок формата длиной " + std::to_string(fmtSize) +
                    " байт; проигрыватель читает только 16-байтный блок формата PCM"
              : path + " has a " + std::to_string(fmtSize) +
                    "-byte format chunk; the player reads only the 16-byte PCM format chunk";
  std::array<uint8_t, 8> chunk{};
  if (!in.read(reinterpret_cast<char*>(chunk.data()), chunk.size())) return notWave;
  if (Id(chunk.data()) == "fact" && Le(chunk.data() + 4, 4) == 4) {
    in.seekg(4, std::ios::cur);
    if (!in.read(reinterpret_cast<char*>(chunk.data()), chunk.size())) return notWave;
  }
  if (Id(chunk.data()) != "data")
    return ru ? path + ": перед отсчётами стоит блок \"" + Id(chunk.data()) +
                    "\"; проигрыватель ждёт отсчёты сразу за блоком формата"
              : path + " has a \"" + Id(chunk.data()) +
                    "\" chunk before its samples; the player needs the samples right after the format chunk";
  return {};
}
