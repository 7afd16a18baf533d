#include "WAVES_IO.h"

#include <cmath>
#include <new>

#include "framework/BlockFactories.h"
#include "numeric/Rounding.h"
#include "numeric/SupportRoutines.h"

namespace {
const char* const kWriteError = "Error while writing wave file";

#ifdef _WIN32
// A name is complete when it starts with a slash or backslash (the root of
// the current drive, or a share) or carries a drive (":"); anything else
// lies under the library directory.
bool IsCompletePath(const std::string& name) {
  return (!name.empty() && (name.front() == '/' || name.front() == '\\')) || name.find(':') != std::string::npos;
}
const char* const kTestFilePrefix = "Test\\Test_";
#else
// A name is complete when it is absolute on this platform or carries a drive
// (":"); anything else lies under the library directory.
bool IsCompletePath(const std::string& name) {
  return (!name.empty() && name.front() == '/') || name.find(':') != std::string::npos;
}
const char* const kTestFilePrefix = "Test/Test_";
#endif
}  // namespace

TWaveIO::TWaveIO(IPELMOR* host, uint8_t mode)
    : TBaseModelExt(host, 0, mode == kLoad ? kTimeDriven : kInputDriven), Mode(mode) {
  // Load mode writes "C1", "C2" and "isMono"; save mode only reads. A port
  // is present only when found with the demanded flags.
  const PortHandles<WavePort> ports =
      BindPorts<WavePort>(BlockPorts(Mode == kLoad ? BlockClass::WaveLoad : BlockClass::WaveSave));
  if (!ports.bound) return;
  C1Handle = ports[WavePort::C1];
  TestHandle = ports[WavePort::Test];
  ClkHandle = ports[WavePort::Clk];
  C2Handle = ports[WavePort::C2];
  MonoHandle = ports[WavePort::isMono];
  HasTest = TestHandle != 0;
  HasClk = ClkHandle != 0;
  HasC2 = C2Handle != 0;
  HasMono = MonoHandle != 0;
  if (HasClk) Activation = kInputDriven;
  if (HasClk && Mode == kLoad) ActsOnlyWhileHigh(ClkHandle);  // a player steps on a high clock only
  if (!ports.usable) return;
  Width = Host->GetVariableWidth(C1Handle);

  TypeName = Mode == kLoad ? "Load Wave" : "Save Wave";
  Period = RoundToInt64(Host->GetSamplePeriod());
  Valid = true;
  FileUsable = false;

  if (!GetRecordParameter(TypeName.c_str(), &Params, static_cast<int32_t>(sizeof Params))) {
    Params = WaveParams{};
    DefaultWaveRecord(Params);
  }
  if (HasTest) {
    // The file is chosen at run time from the "Test" number.
    Params.FileName.Set("");
  } else {
    FileName = Params.FileName.Get();
    if (!IsCompletePath(FileName)) {
      const char* dir = Host->GetLibraryDirectory();
      FileName.insert(0, dir != nullptr ? dir : "");
    }
    Params.FileName.Set(FileName);
    if (Mode == kSave || TWaveFile::FileExists(FileName)) {
      FileUsable = true;
    } else {
      ReportNotFound();
    }
  }
  SignMode = GetIntParameter("SignValue", 0);
  LastTime = -1;
  BlockSize = kBlockSize;
  C1Out.Resize(Width, SignMode);
  C2Out.Resize(Width, SignMode);
  TypeName += std::to_string(Width);
  if (Mode == kSave) OfferArraySteps(false, true);
}

void RIR_STDCALL TWaveIO::Start() {
  if (LastTime >= 0 && !FileUsable && HasTest && FileName.empty()) {
    const char* dir = Host->GetLibraryDirectory();
    FileName = std::string(dir != nullptr ? dir : "") + kTestFilePrefix + std::to_string(TestNumber()) + ".wav";
    Params.FileName.Set(FileName);
    if (TWaveFile::FileExists(FileName)) {
      FileUsable = true;
    } else {
      ReportNotFound();
    }
  }
  if (!FileUsable) return;

  bool opened = false;
  try {
    Wave = std::make_unique<TWaveFile>();
    opened = Mode == kLoad ? Wave->OpenRead(FileName)
                           : Wave->OpenWrite(FileName, Params.SampleRate, Params.BitsPerSample, Params.Channels);
  } catch (const std::bad_alloc&) {
    opened = false;
  }
  if (!opened) FileUsable = false;
  Created = Wave != nullptr;
  Params.FileName.Set("Created");
  if (!opened) {
    ReportText("Wave file I/O error: " + FileName);
    Host->AbortRun();
  } else {
    Params.Channels = Mode == kLoad ? Wave->Channels() : 1;
    if (Params.Channels == 2 && !HasC2) ReportText("Need addition channel (C2)");
  }
  Position = 0;
  Filled = 0;
  EndOfData = false;
  WriteErrorReported = false;
  WriteValue(C1Handle, C1Out.Zero());
  if (Mode == kLoad && opened) ReadBlock();
}

bool TWaveIO::ReadBlock() {
  // Whole frames only, so every step finds its channels side by side.
  const uint16_t channels = Wave->Channels();
  const uint16_t want = static_cast<uint16_t>(BlockSize - BlockSize % channels);
  uint16_t got = 0;
  while (got < want) {
    const uint16_t n = Wave->ReadSamples(static_cast<uint16_t>(want - got), Buffer + got);
    if (n == 0) break;
    got = static_cast<uint16_t>(got + n);
  }
  Filled = static_cast<uint16_t>(got - got % channels);
  Position = 0;
  EndOfData = Filled == 0;
  return !EndOfData;
}

TimeStepResult RIR_STDCALL TWaveIO::TimeStep() {
  if (Mode == kSave) return Period;
  LastTime = RoundedTime(RoundToInt64);
  if (FileName.empty() && HasTest && TestNumber() > 0) Start();
  // No file, or a host that steps before it starts the run: silence.
  if (!FileUsable || Wave == nullptr) {
    WriteValue(C1Handle, C1Out.Zero());
    return Period;
  }

  const uint16_t channels = Wave->Channels();
  int32_t first = 0;
  int32_t second = 0;
  if (Position >= Filled && !EndOfData) ReadBlock();
  if (Position < Filled) {
    first = Buffer[Position];
    if (channels >= 2) second = Buffer[Position + 1];
    Position = static_cast<uint16_t>(Position + channels);
  }
  IncrementInt64(StepCounter);
  if (StepCounter > Wave->FrameCount()) first = second = 0;

  WriteOutput(C1Handle, C1Out.Encode(first), C1Out.Problem(first));
  if (HasC2) WriteOutput(C2Handle, channels == 1 ? C2Out.Zero() : C2Out.Encode(second), C2Out.Problem(second));
  if (HasMono) WriteValue(MonoHandle, ValueBits::Digit(channels == 1));
  return Period;
}

void TWaveIO::TakeSample(int32_t sample) {
  Buffer[Position] = sample;
  Position = static_cast<uint16_t>(Position + 1);
  if (Position >= BlockSize) Flush();
}

bool TWaveIO::ClockRose(int32_t clock) {
  // A change away from anything but 1: the rise of a one-bit clock.
  const bool rising = clock != PreviousClock && PreviousClock != 1;
  PreviousClock = clock;
  return rising;
}

void RIR_STDCALL TWaveIO::InputChanged() {
  if (Mode == kLoad) {
    if (HasClk && IsHigh(ClkHandle)) TimeStep();
    return;
  }
  if (HasClk && !ClockRose(ReadSample(ClkHandle, SignMode))) return;
  TakeSample(ReadSample(C1Handle, SignMode));
}

// A recorder over arrays: the same samples, on the same clock edges.
int32_t TWaveIO::InputChangedAt(int32_t count, const int64_t*, const RirEdaArrayPort* inputs, int32_t inputCount,
                                const RirEdaWordPort*, int32_t, uint8_t* wrote) {
  if (Mode != kSave) return 0;
  const int32_t* c1 = ArraySamples(C1Handle, inputs, inputCount);
  const int32_t* clk = HasClk ? ArraySamples(ClkHandle, inputs, inputCount) : nullptr;
  if (c1 == nullptr || (HasClk && clk == nullptr)) return 0;
  for (int32_t k = 0; k < count; ++k) {
    wrote[k] = 0;
    if (clk == nullptr || ClockRose(clk[k])) TakeSample(c1[k]);
  }
  return count;
}

void TWaveIO::Flush() {
  const bool written = Wave != nullptr && Wave->IsOpen() && Wave->WriteSamples(Position, Buffer);
  if (!written) {
    ReportText(kWriteError);
    WriteErrorReported = true;
  }
  Position = 0;
}

void RIR_STDCALL TWaveIO::Done() {
  if (Mode == kSave && Position > 0) Flush();
  if (Created && Wave != nullptr) {
    const bool closed = Wave->Close();
    // A failed close after a failed write tells the user nothing new.
    if (!closed && Mode == kSave && !WriteErrorReported) ReportText(kWriteError);
    Created = false;
  }
  // Release the self reference so the host's release destroys the block.
  TBaseModelExt::Done();
}

IModel** CreateWaveIO(IPELMOR* host, uint8_t mode) { return (new TWaveIO(host, mode))->SelfRefAddress(); }
