// Feeds arbitrary bytes to the WAVE reader as a file: opening and reading
// every sample must never crash or touch memory out of bounds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "wave/Wave_fileIO.h"

namespace {
const std::string& InputPath() {
  static const std::string path = "/dev/shm/rir_wave_fuzz_" + std::to_string(::getpid()) + ".wav";
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(InputPath().c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  TWaveFile wave;
  if (wave.OpenRead(InputPath())) {
    // Guard cells either side catch a write past the delivered count.
    int32_t elements[TWaveFile::kMaxRead + 2];
    for (int round = 0; round < 4096; ++round) {
      elements[0] = elements[TWaveFile::kMaxRead + 1] = 0x5A5A5A5A;
      const uint16_t ask = static_cast<uint16_t>(round % 3 == 0 ? 2000 : 1 + round % 700);
      const uint16_t got = wave.ReadSamples(ask, elements + 1);
      if (got > TWaveFile::kMaxRead || elements[0] != 0x5A5A5A5A || elements[TWaveFile::kMaxRead + 1] != 0x5A5A5A5A)
        __builtin_trap();
      if (wave.BitsPerSample() == 8)
        for (uint16_t i = 0; i < got; ++i)
          if (elements[1 + i] < 0 || elements[1 + i] > 255) __builtin_trap();
      if (got == 0) break;
    }
    if (wave.FrameCount() < 0) __builtin_trap();
  }
  wave.Close();
  return 0;
}
