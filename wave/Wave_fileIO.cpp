#include "Wave_fileIO.h"

#include <unistd.h>

#include <algorithm>

namespace {
constexpr uint32_t kRiff = FourCharCode("RIFF");
constexpr uint32_t kWave = FourCharCode("WAVE");
constexpr uint32_t kFmt = FourCharCode("fmt");
constexpr uint32_t kData = FourCharCode("data");
constexpr uint32_t kEmptyRiffSize = 36;  // header bytes after the RIFF size field
}  // namespace

TWaveFile::TWaveFile() {
  Riff = {kRiff, kEmptyRiffSize};
  Format = {};
  Format.Id = kFmt;
  Format.Size = 16;
  Data = {kData, 0};
}

TWaveFile::~TWaveFile() { Close(); }

bool TWaveFile::ReadExactly(void* dest, size_t bytes) { return std::fread(dest, 1, bytes, Stream) == bytes; }

bool TWaveFile::WriteExactly(const void* src, size_t bytes) { return std::fwrite(src, 1, bytes, Stream) == bytes; }

bool TWaveFile::OpenRead(const std::string& name) {
  if (IsOpen_) Close();
  if (!FileExists(name)) return false;
  Stream = OpenWaveStream(name, false);
  if (Stream == nullptr) return false;
  IsOpen_ = true;
  WaveFileHeader header;
  const WaveRefusal refusal = ReadWaveHeader(Stream, header);
  Riff = header.riff;
  Format = header.format;
  DataHeaderPosition_ = header.dataHeaderPosition;
  Data = header.data;
  if (refusal != WaveRefusal::None) return false;
  FrameCount_ = header.frameCount;
  DataLeft = Data.Size;
  return true;
}

bool TWaveFile::OpenWrite(const std::string& name, int32_t sampleRate, uint16_t bits, uint16_t channels) {
  if (IsOpen_) Close();
  Stream = OpenWaveStream(name, true);
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
