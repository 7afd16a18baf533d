// TWaveFile: header layout, sample coding, chunk handling and failures.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

#include <climits>
#include <filesystem>

#include "WaveTestFiles.h"
#include "wave/Wave_fileIO.h"

namespace {

// Opens `bytes` written to a file; the object is returned for further reads.
bool OpenBytes(TWaveFile& wave, const TempDir& dir, const Bytes& bytes, const char* name = "in.wav") {
  WriteAll(dir / name, bytes);
  return wave.OpenRead(dir / name);
}

Bytes Sequence(size_t n, uint8_t start = 0) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(start + i);
  return b;
}

}  // namespace

TEST(WaveFile, FourCharCodesFillBlanksAndKeepTextOrder) {
  EXPECT_EQ(FourCharCode("fmt"), FourCharCode("fmt "));
  EXPECT_EQ(FourCharCode("RIFF"), 0x46464952u);
  EXPECT_EQ(FourCharCode(""), 0x20202020u);
  EXPECT_EQ(FourCharCode("data") & 0xFF, static_cast<uint32_t>('d'));
}

TEST(WaveFile, EightBitWriteGivesExactHeaderAndPatchesSizesOnClose) {
  TempDir dir;
  const std::string path = dir / "out.wav";
  TWaveFile wave;
  EXPECT_EQ(wave.RiffSize(), 36u);
  EXPECT_EQ(wave.DataSize(), 0u);
  EXPECT_EQ(wave.FrameCount(), 0);
  ASSERT_TRUE(wave.OpenWrite(path, 8000, 8, 1));
  const int32_t zeros[3] = {0, 0, 0};
  uint16_t written = 0;
  ASSERT_TRUE(wave.WriteSamples(3, zeros, &written));
  EXPECT_EQ(written, 3);

  // Before Close the file on disk still carries the empty sizes.
  Bytes before = ReadAll(path);
  ASSERT_EQ(before.size(), 47u);
  EXPECT_EQ(Get32(before, 4), 36u);
  EXPECT_EQ(Get32(before, 40), 0u);

  EXPECT_TRUE(wave.Close());
  EXPECT_FALSE(wave.IsOpen());
  const Bytes file = ReadAll(path);
  ASSERT_EQ(file.size(), 47u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
  EXPECT_EQ(Get32(file, 4), 39u);
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Get32(file, 16), 16u);
  EXPECT_EQ(Get16(file, 20), 1);      // PCM
  EXPECT_EQ(Get16(file, 22), 1);      // channels
  EXPECT_EQ(Get32(file, 24), 8000u);  // rate
  EXPECT_EQ(Get32(file, 28), 8000u);  // byte rate
  EXPECT_EQ(Get16(file, 32), 1);      // block align
  EXPECT_EQ(Get16(file, 34), 8);
  EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
  EXPECT_EQ(Get32(file, 40), 3u);
  EXPECT_EQ(file[44], 127);
  EXPECT_EQ(file[45], 127);
  EXPECT_EQ(file[46], 127);
  EXPECT_TRUE(wave.Close());  // a second Close does nothing
}

TEST(WaveFile, EightBitValuesAreShiftedBy127AndReadBackUnsigned) {
  TempDir dir;
  const std::string path = dir / "out.wav";
  {
    TWaveFile wave;
    ASSERT_TRUE(wave.OpenWrite(path, 8000, 8, 1));
    const int32_t values[5] = {-3, -128, 200, INT32_MAX, INT32_MIN};
    ASSERT_TRUE(wave.WriteSamples(5, values));
  }  // destruction closes and patches
  const Bytes file = ReadAll(path);
  ASSERT_EQ(file.size(), 49u);
  EXPECT_EQ(Get32(file, 40), 5u);
  EXPECT_EQ(file[44], 124);  // -3 + 127
  EXPECT_EQ(file[45], 255);  // -1 in 8 bits
  EXPECT_EQ(file[46], 71);   // 327 in 8 bits
  EXPECT_EQ(file[47], 126);  // wraps without overflow
  EXPECT_EQ(file[48], 127);

  TWaveFile reader;
  ASSERT_TRUE(reader.OpenRead(path));
  EXPECT_EQ(reader.FrameCount(), 5);
  int32_t got[8];
  std::fill(std::begin(got), std::end(got), -9);
  EXPECT_EQ(reader.ReadSamples(7, got), 5);
  EXPECT_EQ(got[0], 124);
  EXPECT_EQ(got[1], 255);
  EXPECT_EQ(got[5], 0);  // zero-filled up to the requested count
  EXPECT_EQ(got[6], 0);
  EXPECT_EQ(got[7], -9);
  EXPECT_EQ(reader.ReadSamples(2, got), 0);
}

TEST(WaveFile, SixteenBitHeaderAndTwosComplementSamples) {
  TempDir dir;
  const std::string path = dir / "out16.wav";
  TWaveFile wave;
  ASSERT_TRUE(wave.OpenWrite(path, 8000, 16, 1));
  EXPECT_EQ(wave.ByteRate(), 16000u);
  EXPECT_EQ(wave.BlockAlign(), 2);
  const int32_t values[4] = {-2, 0x12345, 32767, -32768};
  ASSERT_TRUE(wave.WriteSamples(4, values));
  EXPECT_EQ(wave.RiffSize(), 44u);
  EXPECT_EQ(wave.DataSize(), 8u);
  ASSERT_TRUE(wave.Close());
  const Bytes file = ReadAll(path);
  ASSERT_EQ(file.size(), 52u);
  EXPECT_EQ(file[44], 0xFE);
  EXPECT_EQ(file[45], 0xFF);
  EXPECT_EQ(file[46], 0x45);  // low 16 bits only
  EXPECT_EQ(file[47], 0x23);

  ASSERT_TRUE(wave.OpenRead(path));  // a fresh read on the same object
  int32_t got[6] = {7, 7, 7, 7, 7, 7};
  EXPECT_EQ(wave.ReadSamples(6, got), 4);
  EXPECT_EQ(got[0], -2);
  EXPECT_EQ(got[1], 0x2345);
  EXPECT_EQ(got[2], 32767);
  EXPECT_EQ(got[3], -32768);
  EXPECT_EQ(got[4], 7);  // 16-bit reads leave the rest alone
}

TEST(WaveFile, StereoAndMultiChannelHeaders) {
  TempDir dir;
  TWaveFile wave;
  ASSERT_TRUE(OpenBytes(wave, dir, MakeWave({.channels = 2, .bits = 16}, Bytes(4000))));
  EXPECT_EQ(wave.FrameCount(), 1000);
  EXPECT_EQ(wave.Channels(), 2);
  EXPECT_EQ(wave.BitsPerSample(), 16);
  EXPECT_EQ(wave.SampleRate(), 8000u);
  EXPECT_EQ(wave.DataHeaderPosition(), 36u);
  for (uint16_t ch = 1; ch <= 4; ++ch) {
    EXPECT_TRUE(OpenBytes(wave, dir, MakeWave({.channels = ch}, Bytes(12)))) << ch;
    EXPECT_EQ(wave.FrameCount(), 12 / ch);
  }
  EXPECT_FALSE(OpenBytes(wave, dir, MakeWave({.channels = 0}, Bytes(12))));
  EXPECT_FALSE(OpenBytes(wave, dir, MakeWave({.channels = 5}, Bytes(12))));

  // Other widths open (their header is shown) but deliver nothing.
  ASSERT_TRUE(OpenBytes(wave, dir, MakeWave({.bits = 24}, Bytes(30))));
  EXPECT_EQ(wave.FrameCount(), 10);
  int32_t got[4] = {5, 5, 5, 5};
  EXPECT_EQ(wave.ReadSamples(4, got), 0);
  EXPECT_EQ(got[0], 5);
  // Fewer than 8 bits per frame: rejected.
  EXPECT_FALSE(OpenBytes(wave, dir, MakeWave({.bits = 4}, Bytes(30))));
}

TEST(WaveFile, FactChunkAndRejectedLayouts) {
  TempDir dir;
  TWaveFile wave;
  ASSERT_TRUE(OpenBytes(wave, dir, MakeWave({.factSize = 4}, Sequence(6, 10))));
  EXPECT_EQ(wave.FrameCount(), 6);
  EXPECT_EQ(wave.DataHeaderPosition(), 36u);  // where the fact chunk starts
  int32_t got[6];
  ASSERT_EQ(wave.ReadSamples(6, got), 6);
  EXPECT_EQ(got[0], 10);
  EXPECT_EQ(got[5], 15);

  // Each refusal, with the reason the probe gives for it.
  Bytes badRiff = MakeWave({}, Bytes(6));
  badRiff[0] = 'X';
  Bytes badWave = MakeWave({}, Bytes(6));
  badWave[8] = 'w';
  Bytes badFmt = MakeWave({}, Bytes(6));
  badFmt[12] = 'F';
  const std::pair<Bytes, WaveRefusal> refused[] = {
      {MakeWave({.factSize = 8}, Bytes(6)), WaveRefusal::FactSize},
      {MakeWave({.factSize = 0}, Bytes(6)), WaveRefusal::FactSize},
      {MakeWave({.formatSize = 18}, Bytes(6)), WaveRefusal::FormatSize},
      {MakeWave({.listBeforeData = true}, Bytes(6)), WaveRefusal::ChunkBefore},
      {badRiff, WaveRefusal::NotRiffWave},
      {badWave, WaveRefusal::NotRiffWave},
      {badFmt, WaveRefusal::NoFormat}};
  for (const auto& [bytes, why] : refused) {
    EXPECT_FALSE(OpenBytes(wave, dir, bytes));
    WaveFileHeader header;
    EXPECT_EQ(ProbeWaveFile(dir / "in.wav", header), why) << static_cast<int>(why);
  }
  // Any format tag and any RIFF size are accepted.
  Bytes odd = MakeWave({}, Bytes(6));
  odd[20] = 3;
  odd[4] = odd[5] = odd[6] = odd[7] = 0xFF;
  EXPECT_TRUE(OpenBytes(wave, dir, odd));
  EXPECT_EQ(wave.FormatTag(), 3);

  // Every cut of the header is rejected; a failed open leaves the object
  // open until Close.
  const Bytes full = MakeWave({.factSize = 4}, Bytes(6));
  for (size_t cut = 0; cut < 56; ++cut) {
    EXPECT_FALSE(OpenBytes(wave, dir, Bytes(full.begin(), full.begin() + static_cast<long>(cut)))) << cut;
  }
  EXPECT_TRUE(OpenBytes(wave, dir, Bytes(full.begin(), full.begin() + 56)));  // header complete, no samples
  EXPECT_EQ(wave.ReadSamples(4, got), 0);

  EXPECT_FALSE(wave.OpenRead(dir / "missing.wav"));
  EXPECT_FALSE(wave.IsOpen());
  EXPECT_FALSE(wave.OpenRead(dir.Str()));  // a directory is not a file
  EXPECT_FALSE(wave.OpenRead(""));
  WaveFileHeader header;
  EXPECT_EQ(ProbeWaveFile(dir / "missing.wav", header), WaveRefusal::Missing);
  EXPECT_EQ(ProbeWaveFile(dir.Str(), header), WaveRefusal::NotRegular);
  WriteAll(dir / "cut.wav", Bytes(full.begin(), full.begin() + 40));
  EXPECT_EQ(ProbeWaveFile(dir / "cut.wav", header), WaveRefusal::Truncated);
}

TEST(WaveFile, ReadsAreLimitedTo1024AndToTheDataChunk) {
  TempDir dir;
  TWaveFile wave;
  ASSERT_TRUE(OpenBytes(wave, dir, MakeWave({}, Sequence(3000))));
  std::vector<int32_t> got(2002, -1);
  EXPECT_EQ(wave.ReadSamples(2000, got.data() + 1), 1024);
  EXPECT_EQ(got[0], -1);
  EXPECT_EQ(got[1025], -1);  // nothing beyond the limited count is touched
  EXPECT_EQ(got[1024], (1023) & 0xFF);
  EXPECT_EQ(wave.ReadSamples(2000, got.data()), 1024);
  EXPECT_EQ(wave.ReadSamples(2000, got.data()), 952);
  EXPECT_EQ(wave.ReadSamples(2000, got.data()), 0);

  // A chunk after the data is not sound.
  ASSERT_TRUE(OpenBytes(wave, dir, MakeWave({.bits = 16, .trailer = Sequence(20, 50)}, Sequence(7))));
  EXPECT_EQ(wave.FrameCount(), 3);
  EXPECT_EQ(wave.ReadSamples(100, got.data()), 3);  // the odd byte and the trailer stay unread
  EXPECT_EQ(wave.ReadSamples(100, got.data()), 0);
}

TEST(WaveFile, HeaderClaimingMoreDataThanTheFileHolds) {
  TempDir dir;
  TWaveFile wave;
  ASSERT_TRUE(OpenBytes(wave, dir, MakeWave({.bits = 16, .claimedDataSize = 0xFFFFFFFF}, Sequence(9))));
  EXPECT_EQ(wave.FrameCount(), INT32_MAX);  // never negative
  int32_t got[8];
  EXPECT_EQ(wave.ReadSamples(8, got), 4);
  EXPECT_EQ(wave.ReadSamples(8, got), 0);

  ASSERT_TRUE(OpenBytes(wave, dir, MakeWave({.claimedDataSize = 5000}, Sequence(10))));
  EXPECT_EQ(wave.FrameCount(), 5000);
  std::vector<int32_t> many(100, -1);
  EXPECT_EQ(wave.ReadSamples(100, many.data()), 10);
  EXPECT_EQ(many[9], 9);
  EXPECT_EQ(many[10], 0);
  EXPECT_EQ(wave.ReadSamples(100, many.data()), 0);
}

TEST(WaveFile, LongWritesAreStagedAndOtherWidthsWriteNothing) {
  TempDir dir;
  const std::string path = dir / "long.wav";
  std::vector<int32_t> values(3000);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<int32_t>(i);
  {
    TWaveFile wave;
    ASSERT_TRUE(wave.OpenWrite(path, 11025, 8, 1));
    uint16_t written = 0;
    ASSERT_TRUE(wave.WriteSamples(3000, values.data(), &written));
    EXPECT_EQ(written, 3000);
  }
  Bytes file = ReadAll(path);
  ASSERT_EQ(file.size(), 3044u);
  EXPECT_EQ(Get32(file, 40), 3000u);
  for (size_t i = 0; i < 3000; ++i) ASSERT_EQ(file[44 + i], static_cast<uint8_t>(i + 127)) << i;

  {
    TWaveFile wave;
    ASSERT_TRUE(wave.OpenWrite(path, 44100, 16, 2));
    EXPECT_EQ(wave.ByteRate(), 176400u);
    EXPECT_EQ(wave.BlockAlign(), 4);
    ASSERT_TRUE(wave.WriteSamples(2500, values.data()));
  }
  file = ReadAll(path);
  ASSERT_EQ(file.size(), 44u + 5000u);
  EXPECT_EQ(Get16(file, 44 + 2 * 2499), 2499);

  TWaveFile wave;
  ASSERT_TRUE(wave.OpenWrite(path, 8000, 24, 1));
  uint16_t written = 9;
  EXPECT_TRUE(wave.WriteSamples(10, values.data(), &written));
  EXPECT_EQ(written, 0);
  EXPECT_EQ(wave.DataSize(), 0u);
  ASSERT_TRUE(wave.Close());
  EXPECT_EQ(ReadAll(path).size(), 44u);
  EXPECT_EQ(Get32(ReadAll(path), 28), 24000u);

  // Neither writes nor reads on an object that was not opened for them.
  TWaveFile closed;
  EXPECT_FALSE(closed.WriteSamples(3, values.data()));
  int32_t got[2];
  EXPECT_EQ(closed.ReadSamples(2, got), 0);
}

TEST(WaveFile, OpeningAgainClosesThePreviousFile) {
  TempDir dir;
  TWaveFile wave;
  ASSERT_TRUE(wave.OpenWrite(dir / "a.wav", 8000, 8, 1));
  const int32_t v[2] = {1, 2};
  ASSERT_TRUE(wave.WriteSamples(2, v));
  ASSERT_TRUE(wave.OpenWrite(dir / "b.wav", 8000, 8, 1));
  EXPECT_EQ(Get32(ReadAll(dir / "a.wav"), 40), 2u);
  EXPECT_EQ(wave.DataSize(), 0u);
  ASSERT_TRUE(wave.Close());
  EXPECT_EQ(Get32(ReadAll(dir / "b.wav"), 4), 36u);
  EXPECT_FALSE(wave.OpenWrite(dir / "no/such/dir.wav", 8000, 8, 1));
  EXPECT_FALSE(wave.IsOpen());
}

// Only regular files are read; a FIFO or a device is refused without waiting.
TEST(WaveFile, SpecialFilesAreRefusedWithoutBlocking) {
#ifdef _WIN32
  GTEST_SKIP() << "no FIFOs";
#else
  TempDir dir;
  const std::string fifo = dir / "pipe.wav";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(TWaveFile::FileExists(fifo));
  EXPECT_FALSE(TWaveFile::FileExists(dir.Str()));
  EXPECT_FALSE(TWaveFile::FileExists("/dev/null"));
  TWaveFile wave;
  EXPECT_FALSE(wave.OpenRead(fifo));
  EXPECT_FALSE(wave.OpenRead("/dev/zero"));
  // Writing to a FIFO nobody reads fails at once instead of waiting.
  EXPECT_FALSE(wave.OpenWrite(fifo, 8000, 8, 1));
  // Nor one that has a reader: a stalled reader would stall the writes.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_FALSE(wave.OpenWrite(fifo, 8000, 8, 1));
  ::close(reader);
  EXPECT_TRUE(wave.Close());
#endif
}

TEST(WaveFile, FullDeviceFailsTheHeaderWrite) {
#ifdef _WIN32
  GTEST_SKIP() << "no full device";
#endif
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TWaveFile wave;
  EXPECT_FALSE(wave.OpenWrite("/dev/full", 8000, 8, 1));
  EXPECT_TRUE(wave.IsOpen());  // stays open until Close
  const int32_t v[3] = {1, 2, 3};
  EXPECT_FALSE(wave.WriteSamples(3, v));
  EXPECT_EQ(wave.DataSize(), 0u);
  EXPECT_FALSE(wave.Close());
}

#ifndef _WIN32  // needs fork and a file-size limit
// A file-size limit stands in for a disk that fills up part way through.
TEST(WaveFile, DiskFullMidRunKeepsWhatWasWrittenValid) {
  TempDir dir;
  const std::string path = dir / "limited.wav";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1544 + 500, 1544 + 500};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
    std::vector<int32_t> values(1500, 5);
    TWaveFile wave;
    if (!wave.OpenWrite(path, 8000, 8, 1)) ::_exit(11);
    if (!wave.WriteSamples(1500, values.data())) ::_exit(12);
    // 1000 more do not fit: the call fails and leaves nothing behind.
    uint16_t written = 1;
    if (wave.WriteSamples(1000, values.data(), &written) || written != 0) ::_exit(13);
    if (wave.DataSize() != 1500 || wave.RiffSize() != 1536) ::_exit(14);
    // A write that fits still goes on after the failed one.
    if (!wave.WriteSamples(100, values.data())) ::_exit(15);
    ::_exit(wave.Close() ? 0 : 16);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  const Bytes file = ReadAll(path);
  ASSERT_EQ(file.size(), 44u + 1600u);
  EXPECT_EQ(Get32(file, 4), 36u + 1600u);
  EXPECT_EQ(Get32(file, 40), 1600u);
  EXPECT_EQ(file.back(), 132);
}
#endif
