// The wave dialog's rules, free of any toolkit: its page, its lists, the
// record <-> controls mapping, the file step with its messages and the
// captions of both languages. Texts are UTF-8 here; the record's file name
// is 8-bit in the local encoding and crosses over through `WaveFiles`.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "DialogLanguage.h"
#include "numeric/ParameterRecords.h"

namespace WaveDialog {

// Longest file name a record holds, in bytes of the local 8-bit encoding.
inline constexpr size_t kNameLimit = kRecordTextLength;
// The block type whose dialog shows the load page; every other one saves.
inline constexpr const char* kLoadType = "Load Wave";
// The name fields' design texts, until a record fills them.
inline constexpr const char* kLoadNameDesign = "Test.wav";
inline constexpr const char* kSaveNameDesign = "NewTest.wav";
// The file dialog's one filter.
inline constexpr const char* kFilterName = "PCM Wave files (*.wav)";
inline constexpr const char* kFilterPattern = "*.wav";

// The sample list; its first line plays every clip.
inline constexpr std::array<const char*, 6> kSampleItems = {"All_waves", "Fantastic", "Perfect",
                                                            "Great",     "Nice_work", "Thank_You"};
// The rate list, and the line a rate outside it selects.
inline constexpr std::array<const char*, 9> kRateItems = {"48000", "44100", "32000", "22050", "16000",
                                                          "11025", "8000",  "6000",  "5500"};
inline constexpr int kRateFallback = 5;  // "11025"
inline constexpr int kRateVisibleLines = 10;

// Whether the block type (cut before its first "_") gets the load page.
bool IsLoadType(const std::string& typeName);

// Record to controls: the sample line (a choice above 5 selects 0), the rate
// line, and which bit button gets selected (none for other widths: the
// design's choice stays).
int SampleIndexOf(const WaveParams& record);
int RateIndexOf(int32_t rate);
int32_t RateAt(int index);
enum class BitsChoice { Keep, Eight, Sixteen };
BitsChoice BitsOf(const WaveParams& record);

// The save page's controls into a record: always one channel.
struct SaveControls {
  std::string localName;  // already in the local encoding, at most kNameLimit bytes
  int sampleIndex = 0;
  int rateIndex = kRateFallback;
  bool sixteenBits = false;
};
WaveParams SaveRecord(const SaveControls& controls);

// Captions and messages of one language.
struct WaveTexts {
  const char* title;
  const char* missingFile;
  const char* unreadableFile;
  const char* channelsLine;
  const char* rateLine;
  const char* bitsLine;
  const char* kept;
  const char* tooLong;
  const char* relative;
  const char* noLocalForm;
};
const WaveTexts& TextsFor(bool russian);
// Tabs and labels by their control names.
std::span<const Caption> Captions();
// What the header memo shows for a record's file.
std::array<std::string, 3> HeaderLines(const WaveTexts& texts, const WaveParams& record);

// How file names are built on this system: Windows names take drive letters,
// both slashes and compare without regard to ASCII case.
enum class PathStyle { Posix, Windows };
PathStyle NativePathStyle();
// A name with a drive or a root is complete; any other is taken relative to
// the directory.
bool IsComplete(std::string_view name, PathStyle style);
bool IsAbsolute(std::string_view path, PathStyle style);
// The browse rule: ".wav" is added when the picked name (compared in upper
// case) holds no ".WAV" and has no "." as its fourth character from the end.
std::string WithWaveExtension(const std::string& picked);
// `file` relative to the folder `directory` ("../a.wav"); nothing when the
// two share no root (another drive).
std::optional<std::string> RelativePath(std::string_view directory, std::string_view file, PathStyle style);

// A playable file's header fields.
struct WaveHeader {
  int32_t sampleRate = 0;
  uint16_t bits = 0;
  uint16_t channels = 0;
};
// What the file step asks of the system, so both front ends and the tests
// can supply it.
struct WaveFiles {
  // Only regular files: a FIFO or a device would block the open.
  std::function<bool(const std::string& localPath)> isRegularFile;
  std::function<std::optional<WaveHeader>(const std::string& localPath)> readHeader;
  // UTF-8 text to the record's 8-bit encoding; nothing when a character has
  // no exact form there.
  std::function<std::optional<std::string>(const std::string& text)> toLocal;
  std::function<std::string(std::string_view local)> fromLocal;
};
// The WAVE reader, and the local encoding of this system (UTF-8 off Windows).
WaveFiles SystemWaveFiles();

// What the controls show after a step, and the messages it raised, in order.
struct StepShown {
  bool accepted = false;
  std::optional<std::string> loadName;               // the load page's name field, when it changes
  std::optional<std::string> saveName;               // the save page's, when it changes
  std::optional<std::array<std::string, 3>> header;  // the header memo, when refilled
  std::vector<std::string> messages;
};

// What the form holds besides its controls.
class WaveForm {
 public:
  explicit WaveForm(WaveFiles files = SystemWaveFiles(), PathStyle style = NativePathStyle());

  void SetType(const std::string& typeName) { LoadPage_ = IsLoadType(typeName); }
  // The host's directory (8-bit local) and language.
  void SetSettings(const std::string& localDirectory, const std::string& language);
  bool LoadPage() const { return LoadPage_; }
  bool Russian() const { return Russian_; }
  const WaveTexts& Texts() const { return TextsFor(Russian_); }
  const std::string& Directory() const { return Directory_; }
  const WaveParams& Record() const { return Record_; }
  // The record Open was given (or the defaults), as it came.
  const WaveParams& Opened() const { return Opened_; }

  // The stored record (68 bytes) or the defaults become the form record and
  // fill the controls.
  struct Controls {
    std::string name;  // both name fields, before the file step
    StepShown step;
    int sampleIndex = 0;
    int rateIndex = kRateFallback;
    BitsChoice bits = BitsChoice::Keep;
  };
  Controls Open(const std::vector<uint8_t>& stored);
  Controls RecordToControls(const WaveParams& record);

  // A name without a drive or root, in front of it the directory.
  std::string WithDirectory(const std::string& name) const;
  // The file step: accepts a name, updates the form record and the header
  // lines. A refused name leaves the form record as it was; `whenRefused`
  // is added to the message that says why. A name inside the directory is
  // stored relative to it.
  StepShown FileStep(const std::string& given, const std::string& whenRefused = {}, bool relativeToDirectory = true);
  // A file picked by a browse button: the ".wav" rule, then the file step; a
  // whole path too long for the record may still fit relative to the
  // directory.
  StepShown PickedName(const std::string& picked);
  // The load page's name field into the result: the file step, then the
  // form record (the one last accepted when the step refuses the name).
  WaveParams LoadPageRecord(const std::string& typed, StepShown& shown);
  // The save page's controls into the result. A typed name the record cannot
  // hold (OK refuses it first) gives way to the form record's name.
  WaveParams SavePageRecord(const std::string& typed, int sampleIndex, int rateIndex, bool sixteenBits) const;
  // Why OK cannot close the dialog with this typed name; nothing when it can.
  std::optional<std::string> RefusalOnOk(const std::string& typed) const;
  // Whether the typed name is the one the dialog opened with, refused then
  // and untouched since: a front end that said so in the dialog itself need
  // not stop OK with the same words again.
  bool ReportedAtOpen(const std::string& typed) const;

 private:
  std::string NameOf(const WaveParams& record) const;
  StepShown Refuse(std::string message) const;

  WaveFiles Files;
  PathStyle Style_;
  std::string Directory_;
  bool LoadPage_ = true;
  bool Russian_ = false;
  WaveParams Record_{};
  WaveParams Opened_{};
  std::string OpenedName;
  bool OpenRefused = false;
  bool AcceptedSinceOpen = false;
};

}  // namespace WaveDialog
