#pragma once
// Clips played through SDL2 audio, paced on the panel's clock.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/clock.h"
#include "platform/sound.h"

namespace voskel::platform {

class SdlSound : public Sound {
 public:
  // A synchronous play ends at once when stopRequested says the panel is to end, so that
  // no clip holds up the end of the run.
  SdlSound(std::filesystem::path workDir, Clock& clock, std::function<bool()> stopRequested = {});
  ~SdlSound() override;
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  void Play(const std::string& fullName, bool wait) override;
  void PlaySamples(std::string_view what, std::span<const std::int16_t> samples,
                   bool wait) override;
  void Tone(int hz, int ms) override;

  // What a test or a benchmark can see of the player.
  bool HasDevice() const { return device_ != 0; }
  // The file of the clip that is sounding now by the clock ("tag:" and the text for played
  // samples), empty when none is.
  std::filesystem::path Sounding();
  // Whether the signal tone is sounding now by the clock.
  bool ToneSounding() const { return clock_.NowMs() < toneEndsMs_; }
  // Clips stopped before their end by the next clip or by a stop.
  int CutCount() const { return cuts_; }
  // Clip files decoded so far, and plays that found their clip already decoded.
  int DecodeCount() const { return decodes_; }
  int CacheHits() const { return cacheHits_; }
  // Length of a decoded clip in ms, -1 when it is not in the cache.
  std::int64_t CachedDurationMs(const std::filesystem::path& file) const;

 private:
  struct Clip {
    std::vector<std::uint8_t> samples;  // in the output format
    std::int64_t durationMs = 0;
    bool valid = false;
  };

  // Opens the sound device once; without one, says so on stderr once.
  void OpenOutput();
  void SayNoDevice();
  const Clip& Load(const std::filesystem::path& file);
  void Stop();
  // Queues the bytes (in the output format) and holds the clock for their duration.
  void Start(std::filesystem::path what, const void* bytes, std::size_t size,
             std::int64_t durationMs, bool wait);
  // Holds the clock until the sounding clip's end, or until the panel is to end.
  void WaitForEnd(std::int64_t durationMs);
  bool StopRequested() const { return stopRequested_ && stopRequested_(); }

  std::filesystem::path workDir_;
  Clock& clock_;
  std::function<bool()> stopRequested_;
  bool opened_ = false;
  bool audioInitialised_ = false;
  std::uint32_t device_ = 0;
  int outFrequency_ = 22050;
  std::uint16_t outFormat_ = 0;
  int outChannels_ = 1;
  std::uint32_t outBytesPerMs_ = 0;

  std::unordered_map<std::string, Clip> clips_;
  std::filesystem::path sounding_;
  std::int64_t soundingEndsMs_ = 0;
  bool soundingAsync_ = false;
  std::int64_t toneEndsMs_ = 0;  // a tone queued under nothing sounds until then
  int cuts_ = 0;
  int decodes_ = 0;
  int cacheHits_ = 0;
};

}  // namespace voskel::platform
