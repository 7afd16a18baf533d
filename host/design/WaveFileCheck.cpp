#include "WaveFileCheck.h"

#include "wave/format/WaveFormat.h"

namespace {

// The usual names of WAVE format tags.
struct TagName {
  uint16_t tag;
  const char* name;
};
constexpr TagName kTagNames[] = {
    {kWavePcmTag, "PCM"}, {0x0002, "ADPCM"},     {0x0003, "IEEE float"}, {0x0006, "A-law"},
    {0x0007, "mu-law"},   {0x0011, "IMA ADPCM"}, {0x0055, "MP3"},        {kWaveExtensibleTag, "extensible"}};

std::string FormatName(uint16_t tag) {
  for (const TagName& t : kTagNames)
    if (t.tag == tag) return t.name;
  return "format " + std::to_string(tag);
}

std::string Id(uint32_t code) { return std::string(reinterpret_cast<const char*>(&code), 4); }

// "8-bit A-law": the samples a header announces.
std::string Samples(const TFormatRun& f) { return std::to_string(f.BitsPerSample) + "-bit " + FormatName(f.Tag); }
std::string SamplesRu(const TFormatRun& f) {
  return std::to_string(f.BitsPerSample) + "-битные отсчёты " + FormatName(f.Tag);
}

// The reader's reason for refusing the file, in words.
std::string Refusal(bool ru, WaveRefusal r, const std::string& path, const WaveFileHeader& h) {
  const TFormatRun& f = h.format;
  switch (r) {
    case WaveRefusal::None:
      return {};
    case WaveRefusal::Missing:
      return (ru ? "файл не найден: " : "file not found: ") + path;
    case WaveRefusal::NotRegular:
      return path + (ru ? " не является обычным файлом" : " is not a regular file");
    case WaveRefusal::Unreadable:
      return (ru ? "не могу прочитать " : "cannot read ") + path;
    case WaveRefusal::NotRiffWave:
      return path + (ru ? " не является файлом RIFF WAVE" : " is not a RIFF WAVE file");
    case WaveRefusal::NoFormat:
      return ru ? path + ": на месте блока формата стоит блок \"" + Id(f.Id) + "\""
                : path + " has a \"" + Id(f.Id) + "\" chunk where the player needs the format chunk";
    case WaveRefusal::Channels:
      return ru ? path + ": каналов " + std::to_string(f.Channels) + "; проигрыватель читает от 1 до 4"
                : path + " has " + std::to_string(f.Channels) + " channels; the player reads 1 to 4";
    case WaveRefusal::NotPcm:
      return path + (ru ? ": расширенный блок формата не называет отсчёты PCM; проигрыватель читает только 8- или "
                          "16-битный PCM"
                        : " has an extensible format chunk that does not name PCM samples; the player reads 8- or "
                          "16-bit PCM only");
    case WaveRefusal::FormatSize:
      return ru ? path + ": блок формата длиной " + std::to_string(f.Size) + " байт (" + SamplesRu(f) +
                      "); проигрыватель читает только 16-байтный блок формата PCM или 40-байтный расширенный"
                : path + " has a format chunk of " + std::to_string(f.Size) + " bytes (" + Samples(f) +
                      " samples); the player reads only the 16-byte PCM format chunk or the 40-byte extensible one";
    case WaveRefusal::FactSize:
      return ru ? path + ": блок \"fact\" длиной " + std::to_string(h.data.Size) +
                      " байт; проигрыватель пропускает только 4-байтный"
                : path + " has a \"fact\" chunk of " + std::to_string(h.data.Size) +
                      " bytes; the player skips only a 4-byte one";
    case WaveRefusal::ChunkBefore:
      return ru ? path + ": перед отсчётами стоит блок \"" + Id(h.data.Id) +
                      "\"; проигрыватель ждёт отсчёты сразу за блоком формата"
                : path + " has a \"" + Id(h.data.Id) +
                      "\" chunk before its samples; the player needs the samples right after the format chunk";
    case WaveRefusal::NoFrames:
      return path + ": " + std::to_string(f.Channels) + (ru ? " канал(а) по " : " channels of ") +
             std::to_string(f.BitsPerSample) +
             (ru ? " бит, меньше байта на кадр" : " bits, less than a byte per frame");
    case WaveRefusal::Truncated:
      return path + (ru ? " обрывается внутри заголовка" : " ends inside its header");
  }
  return {};
}

}  // namespace

WaveFileVerdict CheckWaveFile(HostLanguage lang, const std::string& path) {
  const bool ru = lang == HostLanguage::Russian;
  WaveFileHeader h;
  const WaveRefusal refusal = ProbeWaveFile(path, h);
  if (refusal != WaveRefusal::None) return {Refusal(ru, refusal, path, h), {}};
  TFormatRun f = h.format;
  if (f.Tag == kWaveExtensibleTag) f.Tag = kWavePcmTag;  // the reader took only PCM in that form
  if (!WaveSamplesHandled(f.BitsPerSample))
    return {ru ? path + ": " + SamplesRu(f) + "; проигрыватель читает только 8- или 16-битный PCM"
               : path + " holds " + Samples(f) + " samples; the player reads 8- or 16-bit PCM only",
            {}};
  if (f.Tag != kWavePcmTag)
    return {{},
            ru ? path + ": " + SamplesRu(f) + "; проигрыватель воспроизводит их байты как PCM"
               : path + " holds " + Samples(f) + " samples; the player plays their bytes as PCM"};
  return {};
}
