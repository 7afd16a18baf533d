// The wave load/save block: plays a WAVE file onto "C1"/"C2" one frame per
// step (load mode) or records "C1" into a WAVE file (save mode).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/BaseExtModel.h"
#include "numeric/ParameterRecords.h"
#include "numeric/SampleOutput.h"
#include "numeric/ValueText.h"
#include "Wave_fileIO.h"

class TWaveIO : public TBaseModelExt {
 public:
  static constexpr uint8_t kLoad = 0;
  static constexpr uint8_t kSave = 1;
  // Samples per read in load mode and per flush in save mode.
  static constexpr uint16_t kBlockSize = 1000;
  static constexpr int kBufferSize = 10001;

  TWaveIO(IPELMOR* host, uint8_t mode);

  void RIR_STDCALL Start() override;
  TimeStepResult RIR_STDCALL TimeStep() override;
  void RIR_STDCALL InputChanged() override;
  void RIR_STDCALL Done() override;

 protected:
  ~TWaveIO() override = default;
  int32_t InputChangedAt(int32_t count, const int64_t* times, const RirEdaArrayPort* inputs, int32_t inputCount,
                         const RirEdaWordPort* outputs, int32_t outputCount, uint8_t* wrote) override;

 private:
  // Load mode: refills the buffer with whole frames; false at the end of data.
  bool ReadBlock();
  // Stores a sample of "C1"; inlined into the steps, which run it per sample.
  [[gnu::always_inline]] inline void TakeSample(int32_t sample);
  // Save mode: whether `clock` rose since the last step, which it becomes.
  [[gnu::always_inline]] inline bool ClockRose(int32_t clock);
  void Flush();
  int32_t TestNumber() const { return static_cast<int32_t>(ReadValue(TestHandle).Low()); }
  void ReportNotFound() const { ReportText(FileName + "-file not found!"); }

  VarHandle TestHandle = 0;
  VarHandle C1Handle = 0;
  VarHandle C2Handle = 0;
  VarHandle MonoHandle = 0;
  VarHandle ClkHandle = 0;
  int Width = 0;
  bool HasTest = false;
  bool HasClk = false;
  bool HasC2 = false;
  bool HasMono = false;
  int64_t StepCounter = 0;
  int64_t LastTime = -1;
  int64_t Period = 0;
  int32_t PreviousClock = 0;
  uint8_t Mode;
  bool FileUsable = false;
  bool Created = false;             // a TWaveFile exists for this run
  bool WriteErrorReported = false;  // this run already said its data did not reach the file
  bool EndOfData = false;
  std::unique_ptr<TWaveFile> Wave;
  std::string FileName;  // the resolved path, kept whole
  uint16_t Position = 0;
  uint16_t Filled = 0;  // load mode: samples held in the buffer
  uint16_t BlockSize = kBlockSize;
  int32_t SignMode = 0;
  SampleOutput C1Out;
  SampleOutput C2Out;
  WaveParams Params{};
  // Last: the fields every step reads share their cache lines.
  int32_t Buffer[kBufferSize] = {};
};
