// The sound feedback's rules, free of any sound system: the built-in clips,
// the messages, and the reading of a WAVE image that a player is handed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace SoundClips {

inline constexpr const char* kNoSoundCard = "Sound Card is not installed";
inline constexpr const char* kBusy = "Another application is playing audio";
inline constexpr const char* kNoResource = "Cannot read Resource file";
// A clip the sound system refuses.
inline constexpr const char* kClipRefused = "Error";

// The clips "All_waves" plays, in order; the sixth is carried and never played.
inline constexpr std::array<const char*, 5> kPlayed = {"Fantastic", "Perfect", "Great", "Nice_work", "Thank_You"};
inline constexpr const char* kTestClip = "TEST";
// Every clip the library carries, in the order of its resources.
inline constexpr std::array<const char*, 6> kCarried = {"Fantastic", "Perfect",   "Great",
                                                        "Nice_work", "Thank_You", "TEST"};
// The "All_waves" choice of the sample list.
inline constexpr const char* kAllWaves = "All_waves";

// Clip names compare without regard to (ASCII) case, as resource names do.
bool SameName(std::string_view a, std::string_view b);
// The carried name `name` stands for; nothing for an unknown one.
std::optional<std::string> CarriedName(std::string_view name);
// The clips Play goes through for the sample list's choice.
std::vector<std::string> ClipsFor(std::string_view choice);

// Larger files are not sounds to listen to before a run.
inline constexpr uint64_t kMaxFileBytes = uint64_t{256} << 20;

// The PCM part of a WAVE image: its format and where its samples lie
// (whole frames only; a short last chunk gives what is there).
struct PcmImage {
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bits = 0;  // 8 (unsigned), 16 or 32 (signed)
  size_t dataOffset = 0;
  size_t dataBytes = 0;
  size_t FrameBytes() const { return size_t{channels} * (bits / 8); }
  // Playing time of the samples, in milliseconds.
  int64_t DurationMs() const;
};
// Nothing when the image is not PCM of 8, 16 or 32 bits with 1 to 8
// channels, or holds no samples.
std::optional<PcmImage> ParsePcm(std::span<const uint8_t> image);

}  // namespace SoundClips
