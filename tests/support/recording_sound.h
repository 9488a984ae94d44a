#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/sound.h"

namespace voskel::testing {

struct ToneAsked {
  int hz = 0;
  std::int64_t atMs = 0;
};

struct Played {
  std::string name;  // as asked for, folder included ("wave\\ok"); "tag:" + text for speech
  bool wait = false;
};

// Records every clip asked for. A synchronous clip takes clipMs of the clock (shdel
// pauses included), spoken samples their own length, so pacing that rests on clips runs on
// virtual time.
class RecordingSound : public platform::Sound {
 public:
  explicit RecordingSound(platform::Clock* clock = nullptr) : clock_(clock) {}
  void Play(const std::string& fullName, bool wait) override {
    played.push_back({fullName, wait});
    if (onPlay) onPlay(fullName);
    if (wait && clock_ && !fullName.empty()) clock_->SleepMs(clipMs);
  }
  void PlaySamples(std::string_view what, std::span<const std::int16_t> samples,
                   bool wait) override;
  // A tone takes none of the clock: it holds nothing up.
  void Tone(int hz, int) override { tones.push_back({hz, clock_ ? clock_->NowMs() : 0}); }
  // Clip names without their folder prefix, in order; a spoken tag as "tag:" + its text.
  std::vector<std::string> Names() const;
  // Names without the pauses ("shdel").
  std::vector<std::string> Spoken() const;
  void Clear() { played.clear(); }

  std::vector<Played> played;
  std::vector<ToneAsked> tones;
  int clipMs = 200;
  std::function<void(const std::string&)> onPlay;

 private:
  platform::Clock* clock_;
};

}  // namespace voskel::testing
