// The RIFF/WAVE header as the player reads it, in one place: the reader
// (TWaveFile) opens files through it, and a host asks it beforehand what the
// player will make of a file, with the reader's own reason for a refusal.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// A four-character code: character 1 in the lowest byte, missing characters
// filled with blanks, so the bytes appear in the file in text order.
constexpr uint32_t FourCharCode(std::string_view text) {
  uint32_t code = 0;
  for (size_t i = 0; i < 4; ++i) {
    const uint8_t c = i < text.size() ? static_cast<uint8_t>(text[i]) : static_cast<uint8_t>(' ');
    code |= static_cast<uint32_t>(c) << (8 * i);
  }
  return code;
}

// Runs of the header exactly as they lie in the file; read and written by
// copying the bytes, so they must be packed and the machine little-endian.
#pragma pack(push, 1)
struct TChunkHeader {
  uint32_t Id;
  uint32_t Size;
};
struct TFormatRun {
  uint32_t Id;
  uint32_t Size;
  uint16_t Tag;
  uint16_t Channels;
  uint32_t SampleRate;
  uint32_t ByteRate;
  uint16_t BlockAlign;
  uint16_t BitsPerSample;
};
#pragma pack(pop)
static_assert(sizeof(TChunkHeader) == 8);
static_assert(sizeof(TFormatRun) == 24);
static_assert(offsetof(TFormatRun, Channels) == 10);
static_assert(offsetof(TFormatRun, SampleRate) == 12);
static_assert(offsetof(TFormatRun, BlockAlign) == 20);
static_assert(offsetof(TFormatRun, BitsPerSample) == 22);
static_assert(std::endian::native == std::endian::little, "header runs are copied byte for byte");

inline constexpr uint16_t kWavePcmTag = 1;
inline constexpr uint16_t kWaveExtensibleTag = 0xFFFE;

// Why the reader refuses a file; None when it opens it.
enum class WaveRefusal : uint8_t {
  None,
  Missing,      // no file of that name
  NotRegular,   // a folder, a FIFO or a device
  Unreadable,   // cannot be opened for reading
  NotRiffWave,  // no "RIFF" ... "WAVE" at the start
  NoFormat,     // no "fmt " chunk right after "WAVE"
  Channels,     // a channel count outside 1..4
  NotPcm,       // an extensible format chunk that does not name PCM samples
  FormatSize,   // a format chunk of neither 16 bytes nor the 40-byte extensible form
  FactSize,     // a "fact" chunk of other than 4 bytes
  ChunkBefore,  // another chunk between the format chunk and the samples
  NoFrames,     // fewer than 8 bits per sample frame
  Truncated,    // the file ends inside the header
};

// What the reader took from a header. After a refusal the fields hold what
// was read up to it; `data` then holds the chunk found instead of "data".
struct WaveFileHeader {
  TChunkHeader riff{};
  TFormatRun format{};
  uint32_t dataHeaderPosition = 0;  // stream offset of the data chunk's header
  TChunkHeader data{};
  int32_t frameCount = 0;
};

// Reads the header of a stream that stands at the start of the file and
// leaves it on the first sample byte. Exactly the 16 plain bytes of the
// format chunk are read, whatever its size says, but for PCM in the 40-byte
// extensible form; then at most a 4-byte "fact" chunk, then "data".
WaveRefusal ReadWaveHeader(std::FILE* stream, WaveFileHeader& header);

// Whether `name` is an existing regular file: FIFOs, devices and folders
// are not wave files and must never be opened (a FIFO would block).
bool IsRegularWaveFile(const std::string& name);

// Opens `name` without ever waiting on a FIFO or a device. Reading takes
// regular files only; writing also takes devices (a full device stands in
// for a full disk), and a FIFO without a reader fails at once. Null when it
// cannot open.
std::FILE* OpenWaveStream(const std::string& name, bool write);

// What the reader makes of the file: opened as the reader opens it, its
// header read, closed again.
WaveRefusal ProbeWaveFile(const std::string& name, WaveFileHeader& header);

// The sample widths the reader delivers and the writer writes.
constexpr bool WaveSamplesHandled(uint16_t bitsPerSample) { return bitsPerSample == 8 || bitsPerSample == 16; }
