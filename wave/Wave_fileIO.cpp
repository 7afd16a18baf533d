#include "Wave_fileIO.h"

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
constexpr uint32_t kEmptyRiffSize = 36;  // header bytes after the RIFF size field
constexpr uint16_t kExtensibleTag = 0xFFFE;
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

// Opens `name` without ever waiting on a FIFO or a device: the open itself
// does not block. Reading takes regular files only, checked on the opened
// descriptor; writing also takes devices (a full device stands in for a
// full disk), and a FIFO without a reader fails at once.
#ifdef _WIN32
// Windows opens no FIFOs by file name; a device name such as "NUL" or "CON"
// is no regular file and is not read.
std::FILE* OpenNoWait(const std::string& name, bool write) {
  if (!write && !TWaveFile::FileExists(name)) return nullptr;
  return std::fopen(name.c_str(), write ? "wb" : "rb");
}
#else
std::FILE* OpenNoWait(const std::string& name, bool write) {
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
}  // namespace

TWaveFile::TWaveFile() {
  Riff = {kRiff, kEmptyRiffSize};
  Format = {};
  Format.Id = kFmt;
  Format.Size = 16;
  Data = {kData, 0};
}

TWaveFile::~TWaveFile() { Close(); }

bool TWaveFile::FileExists(const std::string& name) {
  struct stat info;
  return !name.empty() && ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool TWaveFile::ReadExactly(void* dest, size_t bytes) { return std::fread(dest, 1, bytes, Stream) == bytes; }

bool TWaveFile::WriteExactly(const void* src, size_t bytes) { return std::fwrite(src, 1, bytes, Stream) == bytes; }

bool TWaveFile::OpenRead(const std::string& name) {
  if (IsOpen_) Close();
  if (!FileExists(name)) return false;
  Stream = OpenNoWait(name, false);
  if (Stream == nullptr) return false;
  IsOpen_ = true;

  if (!ReadExactly(&Riff, sizeof Riff) || Riff.Id != kRiff) return false;
  uint32_t wave = 0;
  if (!ReadExactly(&wave, sizeof wave) || wave != kWave) return false;
  // Exactly 24 bytes of the format chunk, whatever its size field says.
  if (!ReadExactly(&Format, sizeof Format) || Format.Id != kFmt) return false;
  if (Format.Channels < 1 || Format.Channels > 4) return false;
  if (Format.Tag == kExtensibleTag && Format.Size == 40) {
    // PCM in the extensible form reads like the plain form of the same size.
    TFormatExtension extension;
    if (!ReadExactly(&extension, sizeof extension) || extension.ExtraSize != 22) return false;
    if (std::memcmp(extension.SubFormat, kPcmSubFormat, sizeof kPcmSubFormat) != 0) return false;
  }

  const long position = std::ftell(Stream);
  if (position < 0) return false;
  DataHeaderPosition_ = static_cast<uint32_t>(position);
  if (!ReadExactly(&Data, sizeof Data)) return false;
  if (Data.Id == kFact) {
    uint32_t payload;
    if (Data.Size != 4 || !ReadExactly(&payload, sizeof payload)) return false;
    if (!ReadExactly(&Data, sizeof Data)) return false;
  }
  if (Data.Id != kData) return false;

  const uint32_t bytesPerFrame = (static_cast<uint32_t>(Format.Channels) * Format.BitsPerSample) >> 3;
  if (bytesPerFrame == 0) return false;
  FrameCount_ = static_cast<int32_t>(std::min<uint32_t>(Data.Size / bytesPerFrame, INT32_MAX));
  DataLeft = Data.Size;
  return true;
}

bool TWaveFile::OpenWrite(const std::string& name, int32_t sampleRate, uint16_t bits, uint16_t channels) {
  if (IsOpen_) Close();
  Stream = OpenNoWait(name, true);
  if (Stream == nullptr) return false;
  IsOpen_ = true;
  WriteMode = true;
  // Unbuffered: samples arrive in blocks anyway, and a failed write then
  // leaves nothing behind in a buffer that a later flush could misplace.
  std::setvbuf(Stream, nullptr, _IONBF, 0);

  // A reused object starts its sizes afresh.
  Riff = {kRiff, kEmptyRiffSize};
  bool ok = WriteExactly(&Riff, sizeof Riff);
  ok = WriteExactly(&kWave, sizeof kWave) && ok;
  Format.Id = kFmt;
  Format.Size = 16;
  Format.Tag = 1;
  Format.Channels = channels;
  Format.SampleRate = static_cast<uint32_t>(sampleRate);
  // Computed wide and truncated toward zero, then stored in 32 bits.
  Format.ByteRate = static_cast<uint32_t>(static_cast<int64_t>(channels) * sampleRate * bits / 8);
  Format.BlockAlign = static_cast<uint16_t>(static_cast<uint32_t>(channels) * bits / 8);
  Format.BitsPerSample = bits;
  ok = WriteExactly(&Format, sizeof Format) && ok;
  DataHeaderPosition_ = sizeof Riff + sizeof kWave + sizeof Format;
  Data = {kData, 0};
  ok = WriteExactly(&Data, sizeof Data) && ok;
  SinceHeader = 0;
  return ok;
}

// The RIFF and data sizes as counted so far; the stream is left at the end
// of the samples.
bool TWaveFile::WriteSizes() {
  bool ok = std::fseek(Stream, 0, SEEK_SET) == 0 && WriteExactly(&Riff, sizeof Riff);
  ok = std::fseek(Stream, static_cast<long>(DataHeaderPosition_), SEEK_SET) == 0 && WriteExactly(&Data, sizeof Data) &&
       ok;
  const long end =
      static_cast<long>(DataHeaderPosition_) + static_cast<long>(sizeof Data) + static_cast<long>(Data.Size);
  ok = std::fseek(Stream, end, SEEK_SET) == 0 && ok;
  SinceHeader = 0;
  return ok;
}

bool TWaveFile::Close() {
  if (!IsOpen_) return true;
  bool ok = true;
  if (WriteMode) ok = WriteSizes();
  ok = std::fclose(Stream) == 0 && ok;
  Stream = nullptr;
  IsOpen_ = false;
  WriteMode = false;
  return ok;
}

uint16_t TWaveFile::ReadSamples(uint16_t count, int32_t* elements) {
  count = std::min(count, kMaxRead);
  if (!IsOpen_ || WriteMode) return 0;
  if (Format.BitsPerSample == 16) {
    // Never past the data chunk: whatever follows it is not sound.
    const size_t want = std::min<size_t>(static_cast<size_t>(count) * 2, DataLeft);
    const size_t got = want > 0 ? std::fread(Conversion, 1, want, Stream) : 0;
    DataLeft -= static_cast<uint32_t>(got);
    const uint16_t delivered = static_cast<uint16_t>(got / 2);
    for (uint16_t i = 0; i < delivered; ++i) {
      const uint16_t raw = static_cast<uint16_t>(Conversion[2 * i] | (Conversion[2 * i + 1] << 8));
      elements[i] = static_cast<int16_t>(raw);
    }
    return delivered;
  }
  if (Format.BitsPerSample == 8) {
    const size_t want = std::min<size_t>(count, DataLeft);
    const size_t got = want > 0 ? std::fread(Conversion, 1, want, Stream) : 0;
    DataLeft -= static_cast<uint32_t>(got);
    const uint16_t delivered = static_cast<uint16_t>(got);
    for (uint16_t i = 0; i < delivered; ++i) elements[i] = Conversion[i];
    for (uint16_t i = delivered; i < count; ++i) elements[i] = 0;
    return delivered;
  }
  return 0;
}

// A write that failed part way may have left some of its bytes in the file:
// cut the file back to the samples already counted, so that the header
// patched by Close describes exactly what is there.
void TWaveFile::DropFailedWrite() {
  // The stream is unbuffered, so nothing of the failed write is pending.
  std::clearerr(Stream);
  const long end =
      static_cast<long>(DataHeaderPosition_) + static_cast<long>(sizeof Data) + static_cast<long>(Data.Size);
  if (::ftruncate(::fileno(Stream), end) != 0) {
    // Nothing more can be done; the counted sizes stay right for what fitted.
  }
  std::fseek(Stream, end, SEEK_SET);
  std::clearerr(Stream);
}

bool TWaveFile::WriteSamples(uint16_t count, const int32_t* elements, uint16_t* written) {
  if (written != nullptr) *written = 0;
  if (!IsOpen_ || !WriteMode) return false;
  const uint32_t width = Format.BitsPerSample;
  if (width != 8 && width != 16) return true;
  const uint64_t bytes = static_cast<uint64_t>(count) * (width / 8);
  // The RIFF size must still fit in 32 bits.
  if (bytes > UINT32_MAX - kEmptyRiffSize - Data.Size) return false;

  bool ok = true;
  for (uint32_t done = 0; ok && done < count;) {
    const uint32_t n = std::min<uint32_t>(count - done, kMaxRead);
    const int32_t* in = elements + done;
    if (width == 8) {
      for (uint32_t i = 0; i < n; ++i) Conversion[i] = static_cast<uint8_t>(static_cast<uint32_t>(in[i]) + 127u);
      ok = WriteExactly(Conversion, n);
    } else {
      for (uint32_t i = 0; i < n; ++i) {
        const uint32_t v = static_cast<uint32_t>(in[i]);
        Conversion[2 * i] = static_cast<uint8_t>(v);
        Conversion[2 * i + 1] = static_cast<uint8_t>(v >> 8);
      }
      ok = WriteExactly(Conversion, 2 * static_cast<size_t>(n));
    }
    done += n;
  }
  if (!ok) {
    DropFailedWrite();
    return false;
  }
  Riff.Size += static_cast<uint32_t>(bytes);
  Data.Size += static_cast<uint32_t>(bytes);
  if (written != nullptr) *written = count;
  SinceHeader += static_cast<uint32_t>(bytes);
  // The samples are in the file; a header that cannot be updated now is tried
  // again later and at Close, which reports it.
  if (HeaderInterval > 0 && SinceHeader >= HeaderInterval) WriteSizes();
  return true;
}
