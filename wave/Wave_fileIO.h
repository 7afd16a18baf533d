// Reading and writing uncompressed RIFF/WAVE files in blocks of samples.
//
// One object handles one file. Samples are exchanged as 32-bit integers, one
// element per sample, channels interleaved as stored. 8-bit samples read back
// as their unsigned byte 0..255 while written values are shifted up by 127:
// stored files and designs rely on that asymmetry, so keep it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "wave/format/WaveFormat.h"

class TWaveFile {
 public:
  // Most samples one ReadSamples call delivers.
  static constexpr uint16_t kMaxRead = 1024;

  TWaveFile();
  ~TWaveFile();
  TWaveFile(const TWaveFile&) = delete;
  TWaveFile& operator=(const TWaveFile&) = delete;

  // False for a missing or unreadable file and any header it cannot play.
  // After a failure past the open the object stays open until Close.
  bool OpenRead(const std::string& name);
  // Creates (truncates) the file and writes the 44-byte header with sizes 0.
  bool OpenWrite(const std::string& name, int32_t sampleRate, uint16_t bits, uint16_t channels);
  // Patches the final sizes in write mode and releases the file. False when
  // the final header could not be written.
  bool Close();

  // Up to min(count, 1024) samples of the data chunk into elements; returns
  // how many were delivered (0 at the end of the data or for widths other
  // than 8 and 16 bits). 8-bit: elements from the delivered count up to the
  // limited count are set to 0; 16-bit: they are left as they were.
  uint16_t ReadSamples(uint16_t count, int32_t* elements);
  // Writes count samples (any count; staged 1024 at a time). Every
  // HeaderInterval bytes of samples the header's sizes are brought up to
  // date, so that a file whose writer was killed reads back with the samples
  // up to then. False when the
  // stream failed: then nothing of this call stays in the file and the sizes
  // are unchanged, so what was written before is still a valid file. Widths
  // other than 8 and 16 bits write nothing and succeed.
  bool WriteSamples(uint16_t count, const int32_t* elements, uint16_t* written = nullptr);

  bool IsOpen() const { return IsOpen_; }
  uint16_t Channels() const { return Format.Channels; }
  uint16_t BitsPerSample() const { return Format.BitsPerSample; }
  uint32_t SampleRate() const { return Format.SampleRate; }
  uint32_t ByteRate() const { return Format.ByteRate; }
  uint16_t BlockAlign() const { return Format.BlockAlign; }
  uint16_t FormatTag() const { return Format.Tag; }
  int32_t FrameCount() const { return FrameCount_; }
  uint32_t RiffSize() const { return Riff.Size; }
  uint32_t DataSize() const { return Data.Size; }
  uint32_t DataHeaderPosition() const { return DataHeaderPosition_; }

  // Bytes of samples between header updates while writing (0: only at Close).
  static constexpr uint32_t kHeaderInterval = 64 * 1024;
  void SetHeaderInterval(uint32_t bytes) { HeaderInterval = bytes; }

  // Whether `name` is an existing regular file: FIFOs, devices and folders
  // are not wave files and must never be opened (a FIFO would block).
  static bool FileExists(const std::string& name) { return IsRegularWaveFile(name); }

 private:
  bool ReadExactly(void* dest, size_t bytes);
  bool WriteExactly(const void* src, size_t bytes);
  void DropFailedWrite();
  bool WriteSizes();

  std::FILE* Stream = nullptr;
  bool IsOpen_ = false;
  bool WriteMode = false;
  TChunkHeader Riff;
  TFormatRun Format;
  uint32_t DataHeaderPosition_ = 0;
  TChunkHeader Data;
  uint32_t DataLeft = 0;  // bytes of the data chunk not yet read
  uint8_t Conversion[2 * kMaxRead];
  int32_t FrameCount_ = 0;
  uint32_t HeaderInterval = kHeaderInterval;
  uint32_t SinceHeader = 0;  // bytes of samples written since the header was updated
};
