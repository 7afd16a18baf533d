#include "WaveDialogLogic.h"

#include <algorithm>
#include <cstring>

#include "WaveDialogLayout.h"
#include "wave/Wave_fileIO.h"

namespace WaveDialog {
namespace {

const WaveTexts kEnglish = {
    "Wave Properties",
    " - file not exists",
    " - can't open file",
    "NumChannels    - ",
    "Sample per sec - ",
    "Bits per sec   - ",
    "The stored file settings are kept.",
    " - the name is longer than 55 characters and cannot be stored.",
    "It is stored relative to the design's folder: ",
    " - the name has characters the system's code page cannot hold and cannot be stored.",
};

const WaveTexts kRussian = {
    "Свойства чтения/записи Wave файлов",
    " - файл не существует",
    " - невозможно открыть файл",
    "Число каналов   - ",
    "Частота         - ",
    "Число бит в сек.- ",
    "Сохранённые параметры файла оставлены без изменений.",
    " - имя длиннее 55 символов и не может быть сохранено.",
    "Оно сохранено относительно папки проекта: ",
    " - в имени есть символы, которых нет в кодовой странице системы; оно не может быть сохранено.",
};

constexpr Caption kCaptions[] = {
    {"LoadWaveTab", "Load Wave", "Загрузка wave файла"},
    {"SaveWaveTab", "Save Wave", "Сохранение wave файла"},
    {"FileNam_lab", "File Name", "Имя файла"},
    {"SaveWave_lab", "File Name", "Имя файла"},
    {"RxLabel1", "Properties", "Свойства"},
    {"Amp2_lab", "Sampling Rate", "Частота"},
    {"Bits_lab", "Number of bits", "Число бит"},
    {"Sample_lab", "Sample", "Пример"},
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsSeparator(char c, PathStyle style) { return c == '/' || (style == PathStyle::Windows && c == '\\'); }

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool SameSegment(std::string_view a, std::string_view b, PathStyle style) {
  if (style == PathStyle::Posix) return a == b;
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

bool StartsWith(std::string_view text, std::string_view prefix, PathStyle style) {
  return text.size() >= prefix.size() && SameSegment(text.substr(0, prefix.size()), prefix, style);
}

// Root ("/", "C:/", "//server") and the cleaned segments of an absolute path.
struct SplitPath {
  std::string root;
  std::vector<std::string_view> segments;
};

SplitPath Split(std::string_view path, PathStyle style) {
  SplitPath split;
  size_t at = 0;
  if (style == PathStyle::Windows && HasDrive(path)) {
    split.root = std::string(1, Upper(path[0])) + ":";
    at = 2;
  }
  while (at < path.size() && IsSeparator(path[at], style)) {
    if (split.root.empty() || split.root.back() != '/') split.root += '/';
    ++at;
  }
  while (at < path.size()) {
    size_t end = at;
    while (end < path.size() && !IsSeparator(path[end], style)) ++end;
    const std::string_view segment = path.substr(at, end - at);
    if (segment == "..") {
      if (!split.segments.empty() && split.segments.back() != "..") {
        split.segments.pop_back();
      } else if (split.root.empty()) {
        split.segments.push_back(segment);
      }
    } else if (!segment.empty() && segment != ".") {
      split.segments.push_back(segment);
    }
    at = end;
    while (at < path.size() && IsSeparator(path[at], style)) ++at;
  }
  return split;
}

}  // namespace

bool IsLoadType(const std::string& typeName) { return typeName.substr(0, typeName.find('_')) == kLoadType; }

int SampleIndexOf(const WaveParams& record) { return record.Sound > 5 ? 0 : record.Sound; }

int RateIndexOf(int32_t rate) {
  const std::string text = std::to_string(rate);
  for (size_t i = 0; i < kRateItems.size(); ++i) {
    if (text == kRateItems[i]) return static_cast<int>(i);
  }
  return kRateFallback;
}

int32_t RateAt(int index) {
  if (index < 0 || index >= static_cast<int>(kRateItems.size())) index = kRateFallback;
  return std::stoi(kRateItems[static_cast<size_t>(index)]);
}

BitsChoice BitsOf(const WaveParams& record) {
  if (record.BitsPerSample == 8) return BitsChoice::Eight;
  if (record.BitsPerSample == 16) return BitsChoice::Sixteen;
  return BitsChoice::Keep;
}

WaveParams SaveRecord(const SaveControls& controls) {
  WaveParams out{};
  out.FileName.Set(controls.localName);
  out.Sound = static_cast<uint8_t>(std::clamp(controls.sampleIndex, 0, static_cast<int>(kSampleItems.size()) - 1));
  out.SampleRate = RateAt(controls.rateIndex);
  out.BitsPerSample = controls.sixteenBits ? 16 : 8;
  out.Channels = 1;
  return out;
}

const WaveTexts& TextsFor(bool russian) { return russian ? kRussian : kEnglish; }

static_assert(AllNameControls(kCaptions, [](std::string_view n) {
  return WaveControlIndex(n) >= 0 || ListedIndex(wave_layout::kFrameControls, n, [](const char* f) { return f; }) >= 0;
}));

std::span<const Caption> Captions() { return kCaptions; }

std::array<std::string, 3> HeaderLines(const WaveTexts& texts, const WaveParams& record) {
  return {texts.channelsLine + std::to_string(record.Channels), texts.rateLine + std::to_string(record.SampleRate),
          texts.bitsLine + std::to_string(record.BitsPerSample)};
}

PathStyle NativePathStyle() {
#ifdef _WIN32
  return PathStyle::Windows;
#else
  return PathStyle::Posix;
#endif
}

bool IsComplete(std::string_view name, PathStyle style) {
  if (name.find(':') != std::string_view::npos) return true;
  return !name.empty() && IsSeparator(name.front(), style);
}

bool IsAbsolute(std::string_view path, PathStyle style) {
  if (style == PathStyle::Posix) return !path.empty() && path.front() == '/';
  if (HasDrive(path)) return path.size() >= 3 && IsSeparator(path[2], style);
  return path.size() >= 2 && IsSeparator(path[0], style) && IsSeparator(path[1], style);  // \\server\share
}

std::string WithWaveExtension(const std::string& picked) {
  std::string upper = picked;
  std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
  // The fourth character from the end, counted in characters, not bytes.
  size_t characters = 0;
  bool dotFourthFromEnd = false;
  for (size_t i = picked.size(); i-- > 0;) {
    if ((static_cast<unsigned char>(picked[i]) & 0xC0) == 0x80) continue;  // a UTF-8 continuation byte
    if (++characters == 4) {
      dotFourthFromEnd = picked[i] == '.';
      break;
    }
  }
  if (upper.find(".WAV") == std::string::npos && !dotFourthFromEnd) return picked + ".wav";
  return picked;
}

std::optional<std::string> RelativePath(std::string_view directory, std::string_view file, PathStyle style) {
  const SplitPath from = Split(directory, style);
  const SplitPath to = Split(file, style);
  if (!SameSegment(from.root, to.root, style)) return std::nullopt;
  size_t common = 0;
  while (common < from.segments.size() && common < to.segments.size() &&
         SameSegment(from.segments[common], to.segments[common], style))
    ++common;
  const char separator = style == PathStyle::Windows && directory.find('\\') != std::string_view::npos ? '\\' : '/';
  std::string relative;
  for (size_t i = common; i < from.segments.size(); ++i) relative += std::string("..") + separator;
  for (size_t i = common; i < to.segments.size(); ++i) {
    relative += to.segments[i];
    if (i + 1 < to.segments.size()) relative += separator;
  }
  return relative;
}

WaveFiles SystemWaveFiles() {
  WaveFiles files;
  files.isRegularFile = [](const std::string& path) { return TWaveFile::FileExists(path); };
  files.readHeader = [](const std::string& path) -> std::optional<WaveHeader> {
    TWaveFile file;
    if (!file.OpenRead(path)) return std::nullopt;
    return WaveHeader{static_cast<int32_t>(file.SampleRate()), file.BitsPerSample(), file.Channels()};
  };
  files.toLocal = [](const std::string& text) -> std::optional<std::string> { return text; };
  files.fromLocal = [](std::string_view local) { return std::string(local); };
  return files;
}

WaveForm::WaveForm(WaveFiles files, PathStyle style) : Files(std::move(files)), Style_(style) {}

void WaveForm::SetSettings(const std::string& localDirectory, const std::string& language) {
  Directory_ = Files.fromLocal(localDirectory);
  Russian_ = IsRussianLanguage(language);
}

std::string WaveForm::NameOf(const WaveParams& record) const { return Files.fromLocal(record.FileName.View()); }

WaveForm::Controls WaveForm::Open(const std::vector<uint8_t>& stored) {
  WaveParams record{};
  if (stored.size() == sizeof(WaveParams)) {
    std::memcpy(&record, stored.data(), sizeof record);
  } else {
    DefaultWaveRecord(record);
  }
  // What a failed file step leaves in place: the stored record, never zeros.
  Record_ = record;
  Opened_ = record;
  Controls controls = RecordToControls(record);
  OpenedName = controls.name;
  OpenRefused = !controls.step.accepted;
  AcceptedSinceOpen = false;
  return controls;
}

WaveForm::Controls WaveForm::RecordToControls(const WaveParams& record) {
  Controls controls;
  controls.name = NameOf(record);
  controls.step = FileStep(WithDirectory(controls.name), {}, !IsComplete(controls.name, Style_));
  controls.sampleIndex = SampleIndexOf(record);
  controls.rateIndex = RateIndexOf(record.SampleRate);
  controls.bits = BitsOf(record);
  return controls;
}

std::string WaveForm::WithDirectory(const std::string& name) const {
  if (IsComplete(name, Style_)) return name;
  return Directory_ + name;
}

StepShown WaveForm::Refuse(std::string message) const {
  StepShown shown;
  shown.messages.push_back(std::move(message));
  shown.loadName = NameOf(Record_);
  return shown;
}

StepShown WaveForm::FileStep(const std::string& given, const std::string& whenRefused, bool relativeToDirectory) {
  const WaveTexts& texts = Texts();
  const std::optional<std::string> path = Files.toLocal(given);
  if (!path) return Refuse(given + texts.noLocalForm + whenRefused);
  if (LoadPage_ && !Files.isRegularFile(*path)) return Refuse(given + texts.missingFile + whenRefused);
  // A picked file inside the directory is kept relative to it; a name typed
  // or stored as a whole path stays whole.
  std::string name = given;
  if (relativeToDirectory && !Directory_.empty() && StartsWith(name, Directory_, Style_))
    name.erase(0, Directory_.size());
  const std::optional<std::string> local = Files.toLocal(name);
  if (!local || local->size() > kNameLimit) return Refuse(name + texts.tooLong + whenRefused);
  const std::optional<WaveHeader> header = Files.readHeader(*path);
  if (LoadPage_ && !header) return Refuse(given + texts.unreadableFile + whenRefused);
  Record_.FileName.Set(*local);
  Record_.SampleRate = header ? header->sampleRate : 0;
  Record_.BitsPerSample = header ? header->bits : 0;
  Record_.Channels = header ? header->channels : 0;
  AcceptedSinceOpen = true;
  StepShown shown;
  shown.accepted = true;
  shown.loadName = name;
  shown.saveName = name;
  shown.header = HeaderLines(texts, Record_);
  return shown;
}

StepShown WaveForm::PickedName(const std::string& picked) {
  if (picked.empty()) return {};
  const std::string full = WithWaveExtension(picked);
  std::string stored = full;
  if (!Directory_.empty() && StartsWith(stored, Directory_, Style_)) stored.erase(0, Directory_.size());
  const std::optional<std::string> local = Files.toLocal(stored);
  if (local && local->size() > kNameLimit && !Directory_.empty() && IsAbsolute(full, Style_)) {
    // Too long as a whole path: a name relative to the design may still fit.
    const std::optional<std::string> relative = RelativePath(Directory_, full, Style_);
    const std::optional<std::string> relativeLocal = relative ? Files.toLocal(*relative) : std::nullopt;
    if (relativeLocal && relativeLocal->size() <= kNameLimit) {
      StepShown shown = FileStep(Directory_ + *relative);
      if (shown.accepted) shown.messages.push_back(stored + Texts().tooLong + "\n" + Texts().relative + *relative);
      return shown;
    }
  }
  return FileStep(full);
}

WaveParams WaveForm::LoadPageRecord(const std::string& typed, StepShown& shown) {
  // A name that cannot be opened keeps the stored record, and says so.
  shown = FileStep(WithDirectory(typed), std::string("\n") + Texts().kept, !IsComplete(typed, Style_));
  return Record_;
}

WaveParams WaveForm::SavePageRecord(const std::string& typed, int sampleIndex, int rateIndex, bool sixteenBits) const {
  std::optional<std::string> local = Files.toLocal(typed);
  if (!local || local->size() > kNameLimit) local = std::string(Record_.FileName.View());
  return SaveRecord(SaveControls{*local, sampleIndex, rateIndex, sixteenBits});
}

std::optional<std::string> WaveForm::RefusalOnOk(const std::string& typed) const {
  const std::optional<std::string> local = Files.toLocal(typed);
  if (!local) return typed + Texts().noLocalForm;
  if (local->size() > kNameLimit) return typed + Texts().tooLong;
  return std::nullopt;
}

bool WaveForm::ReportedAtOpen(const std::string& typed) const {
  return OpenRefused && !AcceptedSinceOpen && typed == OpenedName;
}

}  // namespace WaveDialog
