#include "SoundClips.h"

#include <algorithm>
#include <cstring>

namespace SoundClips {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

uint32_t Read(std::span<const uint8_t> image, size_t at, size_t width) {
  uint32_t v = 0;
  if (at <= image.size() && width <= image.size() - at) {
    for (size_t i = 0; i < width; ++i) v |= static_cast<uint32_t>(image[at + i]) << (8 * i);
  }
  return v;
}

constexpr uint32_t Code(const char (&text)[5]) {
  return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 | uint32_t(uint8_t(text[2])) << 16 |
         uint32_t(uint8_t(text[3])) << 24;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

std::optional<std::string> CarriedName(std::string_view name) {
  for (const char* carried : kCarried) {
    if (SameName(name, carried)) return std::string(carried);
  }
  return std::nullopt;
}

std::vector<std::string> ClipsFor(std::string_view choice) {
  if (choice == kAllWaves) return {kPlayed.begin(), kPlayed.end()};
  return {std::string(choice)};
}

int64_t PcmImage::DurationMs() const {
  const size_t frame = FrameBytes();
  if (frame == 0 || sampleRate == 0) return 0;
  return static_cast<int64_t>(dataBytes / frame) * 1000 / sampleRate;
}

std::optional<PcmImage> ParsePcm(std::span<const uint8_t> image) {
  if (image.size() < 12 || Read(image, 0, 4) != Code("RIFF") || Read(image, 8, 4) != Code("WAVE")) return std::nullopt;
  uint32_t tag = 0;
  PcmImage pcm;
  bool haveData = false;
  for (size_t at = 12; at + 8 <= image.size();) {
    const uint32_t id = Read(image, at, 4);
    const size_t size = Read(image, at + 4, 4);
    if (id == Code("fmt ") && size >= 16) {
      tag = Read(image, at + 8, 2);
      pcm.channels = static_cast<uint16_t>(Read(image, at + 10, 2));
      pcm.sampleRate = Read(image, at + 12, 4);
      pcm.bits = static_cast<uint16_t>(Read(image, at + 22, 2));
      if (tag == 0xFFFEu && size >= 26) tag = Read(image, at + 32, 2);  // extensible: its sub-format
    } else if (id == Code("data")) {
      // A short last chunk plays what is there.
      pcm.dataOffset = at + 8;
      pcm.dataBytes = std::min(size, image.size() - pcm.dataOffset);
      haveData = true;
      break;
    }
    if (size > image.size()) break;
    at += 8 + size + (size & 1);
  }
  if (!haveData || tag != 1 || pcm.channels < 1 || pcm.channels > 8 || pcm.sampleRate == 0) return std::nullopt;
  if (pcm.bits != 8 && pcm.bits != 16 && pcm.bits != 32) return std::nullopt;
  pcm.dataBytes -= pcm.dataBytes % pcm.FrameBytes();
  if (pcm.dataBytes == 0) return std::nullopt;
  return pcm;
}

}  // namespace SoundClips
