// Files we write are read by sox and Python's wave module, and the files
// they write are read by us.
#include <sstream>

#include "WaveTestFiles.h"
#include "wave/Wave_fileIO.h"

namespace {

const char* const kPython = "/usr/bin/python3";

bool HaveTools() {
  return std::filesystem::exists(kPython) && std::filesystem::exists("/usr/bin/sox") &&
         std::filesystem::exists("/usr/bin/soxi");
}

struct Decoded {
  int channels = 0, width = 0, rate = 0, frames = 0;
  Bytes data;
};

std::string Hex(const Bytes& b) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (uint8_t v : b) {
    s += digits[v >> 4];
    s += digits[v & 15];
  }
  return s;
}

Bytes FromHex(const std::string& s) {
  Bytes b;
  for (size_t i = 0; i + 1 < s.size(); i += 2)
    b.push_back(static_cast<uint8_t>(std::stoi(s.substr(i, 2), nullptr, 16)));
  return b;
}

// Python's reading of a file: its parameters and raw frame bytes.
Decoded PythonRead(const std::string& path) {
  int status = -1;
  const std::string out = RunCommand(std::string(kPython) +
                                         " -c \"import wave,sys; w=wave.open(sys.argv[1]); "
                                         "print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes()); "
                                         "print(w.readframes(w.getnframes()).hex())\" " +
                                         path + " 2>/dev/null",
                                     &status);
  Decoded d;
  EXPECT_EQ(status, 0) << path;
  std::istringstream in(out);
  std::string hex;
  in >> d.channels >> d.width >> d.rate >> d.frames >> hex;
  d.data = FromHex(hex);
  return d;
}

void PythonWrite(const std::string& path, int channels, int width, int rate, const Bytes& frames) {
  int status = -1;
  RunCommand(std::string(kPython) +
                 " -c \"import wave,sys; w=wave.open(sys.argv[1],'wb'); w.setnchannels(int(sys.argv[2])); "
                 "w.setsampwidth(int(sys.argv[3])); w.setframerate(int(sys.argv[4])); "
                 "w.writeframes(bytes.fromhex(sys.argv[5])); w.close()\" " +
                 path + " " + std::to_string(channels) + " " + std::to_string(width) + " " + std::to_string(rate) +
                 " " + (frames.empty() ? "''" : Hex(frames)),
             &status);
  ASSERT_EQ(status, 0);
}

std::string Soxi(const std::string& option, const std::string& path) {
  std::string out = RunCommand("/usr/bin/soxi " + option + " " + path + " 2>/dev/null");
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// Everything we read from a file, as the raw sample bytes it stands for.
Bytes ReadAsBytes(TWaveFile& wave) {
  Bytes out;
  int32_t elements[TWaveFile::kMaxRead];
  for (;;) {
    const uint16_t n = wave.ReadSamples(700, elements);
    if (n == 0) break;
    for (uint16_t i = 0; i < n; ++i) {
      if (wave.BitsPerSample() == 8) {
        EXPECT_GE(elements[i], 0);
        EXPECT_LE(elements[i], 255);
        out.push_back(static_cast<uint8_t>(elements[i]));
      } else {
        EXPECT_GE(elements[i], -32768);
        EXPECT_LE(elements[i], 32767);
        Put16(out, static_cast<uint32_t>(elements[i]) & 0xFFFF);
      }
    }
  }
  return out;
}

// `file` with a 4-byte "fact" chunk inserted before its data chunk at 36.
Bytes WithFactChunk(Bytes file, uint32_t frames) {
  EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
  Bytes fact;
  PutId(fact, "fact");
  Put32(fact, 4);
  Put32(fact, frames);
  file.insert(file.begin() + 36, fact.begin(), fact.end());
  const uint32_t riff = Get32(file, 4) + 12;
  for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  return file;
}

Bytes Pattern(size_t n, uint32_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    b[i] = static_cast<uint8_t>(seed >> 16);
  }
  return b;
}

}  // namespace

TEST(WaveInterop, ToolsReadOurFiles) {
  if (!HaveTools()) GTEST_SKIP() << "sox or python3 missing";
  TempDir dir;
  for (uint16_t bits : {8, 16}) {
    for (uint16_t channels = 1; channels <= 4; ++channels) {
      SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(channels) + " channels");
      const std::string path = dir / ("ours_" + std::to_string(bits) + "_" + std::to_string(channels) + ".wav");
      const int frames = 1500;
      std::vector<int32_t> values(static_cast<size_t>(frames) * channels);
      for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<int32_t>((i * 37) % 251) - 125;
      {
        TWaveFile wave;
        ASSERT_TRUE(wave.OpenWrite(path, 22050, bits, channels));
        ASSERT_TRUE(wave.WriteSamples(static_cast<uint16_t>(values.size()), values.data()));
      }
      EXPECT_EQ(Soxi("-c", path), std::to_string(channels));
      EXPECT_EQ(Soxi("-r", path), "22050");
      EXPECT_EQ(Soxi("-b", path), std::to_string(bits));
      EXPECT_EQ(Soxi("-s", path), std::to_string(frames));

      const Decoded d = PythonRead(path);
      EXPECT_EQ(d.channels, channels);
      EXPECT_EQ(d.width, bits / 8);
      EXPECT_EQ(d.rate, 22050);
      EXPECT_EQ(d.frames, frames);
      ASSERT_EQ(d.data.size(), values.size() * (bits / 8));
      for (size_t i = 0; i < values.size(); ++i) {
        if (bits == 8) {
          ASSERT_EQ(d.data[i], static_cast<uint8_t>(values[i] + 127)) << i;
        } else {
          ASSERT_EQ(static_cast<int16_t>(Get16(d.data, 2 * i)), values[i]) << i;
        }
      }
    }
  }
}

TEST(WaveInterop, WeReadFilesOfPythonAndSoxWithAndWithoutFact) {
  if (!HaveTools()) GTEST_SKIP() << "sox or python3 missing";
  TempDir dir;
  for (int width : {1, 2}) {
    for (int channels = 1; channels <= 4; ++channels) {
      SCOPED_TRACE(std::to_string(width) + " bytes, " + std::to_string(channels) + " channels");
      const std::string tag = std::to_string(width) + "_" + std::to_string(channels);
      const int frames = 1100;
      const Bytes samples = Pattern(static_cast<size_t>(frames) * channels * width, static_cast<uint32_t>(channels));

      const std::string py = dir / ("py_" + tag + ".wav");
      PythonWrite(py, channels, width, 16000, samples);
      const std::string factPath = dir / ("fact_" + tag + ".wav");
      WriteAll(factPath, WithFactChunk(ReadAll(py), frames));
      for (const std::string& path : {py, factPath}) {
        TWaveFile wave;
        ASSERT_TRUE(wave.OpenRead(path)) << path;
        EXPECT_EQ(wave.Channels(), channels);
        EXPECT_EQ(wave.BitsPerSample(), 8 * width);
        EXPECT_EQ(wave.SampleRate(), 16000u);
        EXPECT_EQ(wave.FrameCount(), frames);
        EXPECT_EQ(ReadAsBytes(wave), samples) << path;
      }

      // sox's own samples, with Python as the reference decoder.
      const std::string soxPath = dir / ("sox_" + tag + ".wav");
      int status = -1;
      RunCommand("/usr/bin/sox -n -r 8000 -b " + std::to_string(8 * width) + " -c " + std::to_string(channels) +
                     " -t wavpcm " + soxPath + " synth 0.05 sine 440 sine 1000 2>&1",
                 &status);
      ASSERT_EQ(status, 0);
      const Decoded reference = PythonRead(soxPath);
      TWaveFile wave;
      ASSERT_TRUE(wave.OpenRead(soxPath));
      EXPECT_EQ(wave.Channels(), channels);
      EXPECT_EQ(wave.FrameCount(), reference.frames);
      EXPECT_EQ(ReadAsBytes(wave), reference.data);

      // sox's default form for more than two channels is WAVE_FORMAT_EXTENSIBLE;
      // its PCM data must read like the plain file of the same samples.
      const std::string extPath = dir / ("ext_" + tag + ".wav");
      RunCommand("/usr/bin/sox " + soxPath + " -t wav -c " + std::to_string(channels) + " " + extPath + " 2>&1",
                 &status);
      ASSERT_EQ(status, 0);
      if (channels > 2) {
        ASSERT_EQ(Get16(ReadAll(extPath), 20), 0xFFFEu);  // really the extensible form
      }
      TWaveFile ext;
      ASSERT_TRUE(ext.OpenRead(extPath)) << extPath;
      EXPECT_EQ(ext.Channels(), channels);
      EXPECT_EQ(ext.BitsPerSample(), 8 * width);
      EXPECT_EQ(ext.FrameCount(), reference.frames);
      EXPECT_EQ(ReadAsBytes(ext), reference.data);
    }
  }
  // The extensible form with another sub-format (3: float) is not PCM.
  Bytes bytes = ReadAll(dir / "ext_2_3.wav");
  ASSERT_GT(bytes.size(), 60u);
  ASSERT_EQ(bytes[44], 1);  // the sub-format's tag
  bytes[44] = 3;
  const std::string floatExt = dir / "float_ext.wav";
  WriteAll(floatExt, bytes);
  TWaveFile notPcm;
  EXPECT_FALSE(notPcm.OpenRead(floatExt));
  WaveFileHeader header;
  EXPECT_EQ(ProbeWaveFile(floatExt, header), WaveRefusal::NotPcm);
}

TEST(WaveInterop, ToolFilesWeRejectCleanly) {
  if (!HaveTools()) GTEST_SKIP() << "sox or python3 missing";
  TempDir dir;
  const std::string py = dir / "base.wav";
  PythonWrite(py, 1, 2, 8000, Pattern(200, 7));
  const Bytes base = ReadAll(py);
  ASSERT_EQ(base.size(), 244u);

  Bytes withList = base;
  Bytes list;
  PutId(list, "LIST");
  Put32(list, 4);
  PutId(list, "INFO");
  withList.insert(withList.begin() + 36, list.begin(), list.end());
  Bytes format18 = base;
  format18[16] = 18;
  format18.insert(format18.begin() + 36, {0, 0});
  Bytes channels0 = base;
  channels0[22] = 0;
  Bytes channels5 = base;
  channels5[22] = 5;

  int n = 0;
  for (const Bytes& bad : {withList, format18, channels0, channels5}) {
    const std::string path = dir / ("bad" + std::to_string(n++) + ".wav");
    WriteAll(path, bad);
    TWaveFile wave;
    EXPECT_FALSE(wave.OpenRead(path)) << n;
    int32_t got[4] = {3, 3, 3, 3};
    EXPECT_EQ(wave.ReadSamples(4, got), 0);
    EXPECT_TRUE(wave.Close());
  }
  // sox with a float format writes a fact chunk but is not 8/16-bit: the
  // header opens, no samples come.
  const std::string floatPath = dir / "float.wav";
  RunCommand("/usr/bin/sox -n -r 8000 -e floating-point -b 32 -c 1 " + floatPath + " synth 0.01 sine 440 2>&1");
  TWaveFile wave;
  if (wave.OpenRead(floatPath)) {
    int32_t got[4];
    EXPECT_EQ(wave.ReadSamples(4, got), 0);
  }
}
