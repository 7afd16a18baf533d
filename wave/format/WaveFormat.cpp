#include "WaveFormat.h"

#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <fcntl.h>
#endif

#include <algorithm>
#include <climits>
#include <cstring>

namespace {
constexpr uint32_t kRiff = FourCharCode("RIFF");
constexpr uint32_t kWave = FourCharCode("WAVE");
constexpr uint32_t kFmt = FourCharCode("fmt");
constexpr uint32_t kData = FourCharCode("data");
constexpr uint32_t kFact = FourCharCode("fact");
constexpr uint32_t kPlainFormatSize = 16;
constexpr uint32_t kExtensibleFormatSize = 40;
// The rest of an extensible format chunk after its 16 plain bytes.
#pragma pack(push, 1)
struct TFormatExtension {
  uint16_t ExtraSize;  // 22
  uint16_t ValidBits;
  uint32_t ChannelMask;
  uint8_t SubFormat[16];
};
#pragma pack(pop)
static_assert(sizeof(TFormatExtension) == 24);
// KSDATAFORMAT_SUBTYPE_PCM: tag 1 in the first two bytes, then the fixed tail.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool ReadExactly(std::FILE* stream, void* dest, size_t bytes) { return std::fread(dest, 1, bytes, stream) == bytes; }

bool IsExtensiblePcm(const TFormatRun& format) {
  return format.Tag == kWaveExtensibleTag && format.Size == kExtensibleFormatSize;
}

// After the format chunk: at most a 4-byte "fact" chunk, then "data".
WaveRefusal ReadDataHeader(std::FILE* stream, WaveFileHeader& h) {
  const long position = std::ftell(stream);
  if (position < 0) return WaveRefusal::Unreadable;
  h.dataHeaderPosition = static_cast<uint32_t>(position);
  if (!ReadExactly(stream, &h.data, sizeof h.data)) return WaveRefusal::Truncated;
  // A longer format chunk leaves its tail where a chunk header is read.
  const bool misread = h.format.Size != kPlainFormatSize && !IsExtensiblePcm(h.format);
  if (h.data.Id == kFact) {
    uint32_t payload;
    if (h.data.Size != 4) return WaveRefusal::FactSize;
    if (!ReadExactly(stream, &payload, sizeof payload) || !ReadExactly(stream, &h.data, sizeof h.data))
      return WaveRefusal::Truncated;
  }
  if (h.data.Id != kData) return misread ? WaveRefusal::FormatSize : WaveRefusal::ChunkBefore;
  return WaveRefusal::None;
}
}  // namespace

WaveRefusal ReadWaveHeader(std::FILE* stream, WaveFileHeader& h) {
  if (!ReadExactly(stream, &h.riff, sizeof h.riff))
    return std::ferror(stream) ? WaveRefusal::Unreadable : WaveRefusal::NotRiffWave;
  uint32_t wave = 0;
  if (h.riff.Id != kRiff || !ReadExactly(stream, &wave, sizeof wave) || wave != kWave) return WaveRefusal::NotRiffWave;
  if (!ReadExactly(stream, &h.format, sizeof h.format)) return WaveRefusal::Truncated;
  if (h.format.Id != kFmt) return WaveRefusal::NoFormat;
  if (h.format.Channels < 1 || h.format.Channels > 4) return WaveRefusal::Channels;
  if (IsExtensiblePcm(h.format)) {
    // PCM in the extensible form reads like the plain form of the same size.
    TFormatExtension extension;
    if (!ReadExactly(stream, &extension, sizeof extension)) return WaveRefusal::Truncated;
    if (extension.ExtraSize != 22 || std::memcmp(extension.SubFormat, kPcmSubFormat, sizeof kPcmSubFormat) != 0)
      return WaveRefusal::NotPcm;
  }
  if (const WaveRefusal r = ReadDataHeader(stream, h); r != WaveRefusal::None) return r;
  const uint32_t bytesPerFrame = (static_cast<uint32_t>(h.format.Channels) * h.format.BitsPerSample) >> 3;
  if (bytesPerFrame == 0) return WaveRefusal::NoFrames;
  h.frameCount = static_cast<int32_t>(std::min<uint32_t>(h.data.Size / bytesPerFrame, INT32_MAX));
  return WaveRefusal::None;
}

bool IsRegularWaveFile(const std::string& name) {
  struct stat info;
  return !name.empty() && ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

#ifdef _WIN32
// Windows opens no FIFOs by file name; a device name such as "NUL" or "CON"
// is no regular file and is not read.
std::FILE* OpenWaveStream(const std::string& name, bool write) {
  if (!write && !IsRegularWaveFile(name)) return nullptr;
  return std::fopen(name.c_str(), write ? "wb" : "rb");
}
#else
std::FILE* OpenWaveStream(const std::string& name, bool write) {
  const int flags = write ? (O_WRONLY | O_CREAT | O_TRUNC) : O_RDONLY;
  const int fd = ::open(name.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat info;
  // A pipe or socket, even one with a reader, could stall a later write of a
  // block step: only files and devices are written.
  if (::fstat(fd, &info) != 0 || (!write && !S_ISREG(info.st_mode)) ||
      (write && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)))) {
    ::close(fd);
    return nullptr;
  }
  const int mode = ::fcntl(fd, F_GETFL);
  if (mode >= 0) ::fcntl(fd, F_SETFL, mode & ~O_NONBLOCK);
  std::FILE* stream = ::fdopen(fd, write ? "wb" : "rb");
  if (stream == nullptr) ::close(fd);
  return stream;
}
#endif

WaveRefusal ProbeWaveFile(const std::string& name, WaveFileHeader& header) {
  struct stat info;
  if (name.empty() || ::stat(name.c_str(), &info) != 0) return WaveRefusal::Missing;
  if (!S_ISREG(info.st_mode)) return WaveRefusal::NotRegular;
  std::FILE* stream = OpenWaveStream(name, false);
  if (stream == nullptr) return WaveRefusal::Unreadable;
  const WaveRefusal refusal = ReadWaveHeader(stream, header);
  std::fclose(stream);
  return refusal;
}
