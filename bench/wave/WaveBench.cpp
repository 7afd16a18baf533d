// The cost of keeping a recording's header up to date while it is written:
// blocks of samples as the wave block hands them over, with the sizes
// rewritten every N bytes (0: only when the file is closed).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "wave/Wave_fileIO.h"

namespace {

void WriteRecording(benchmark::State& state) {
  const auto interval = static_cast<uint32_t>(state.range(0));
  const std::string path = "/tmp/rir_wave_bench_" + std::to_string(interval) + ".wav";
  constexpr uint16_t kBlock = 1000;  // what the wave block hands over at a time
  constexpr int kBlocks = 1000;      // 2 MB of 16-bit samples
  std::vector<int32_t> samples(kBlock);
  for (uint16_t i = 0; i < kBlock; ++i) samples[i] = (i * 37) % 60000 - 30000;
  for (auto _ : state) {
    TWaveFile wave;
    wave.SetHeaderInterval(interval);
    if (!wave.OpenWrite(path, 44100, 16, 1)) {
      state.SkipWithError("cannot write to /tmp");
      break;
    }
    for (int b = 0; b < kBlocks; ++b) wave.WriteSamples(kBlock, samples.data());
    wave.Close();
  }
  state.SetItemsProcessed(state.iterations() * kBlock * kBlocks);
  state.SetBytesProcessed(state.iterations() * kBlock * kBlocks * 2);
  std::remove(path.c_str());
}
BENCHMARK(WriteRecording)->Arg(0)->Arg(2000)->Arg(64 * 1024)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
