#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace voskel::platform {

// The clips' own format, which speech is synthesized into as well: mono, signed 16-bit.
inline constexpr int kSamplesPerSecond = 22050;

class Sound {
 public:
  virtual ~Sound() = default;
  // Plays the clip named as the voice code builds it: a voice folder prefix ("wave\\")
  // and a clip name, ".wav" optional ("wave\\scan", "wave\\wfm.wav"). Starting a clip
  // stops the one playing; an empty name only stops. A name that finds no file plays
  // nothing and returns at once. With wait, returns once the clip's own duration has
  // passed.
  virtual void Play(const std::string& fullName, bool wait) = 0;
  // Plays samples made at run time (kSamplesPerSecond, mono) exactly as a clip: it stops
  // the one playing, no samples only stop, and with wait it returns once their own duration
  // has passed. what is the text they say, kept for whoever records the sound.
  virtual void PlaySamples(std::string_view what, std::span<const std::int16_t> samples,
                           bool wait) = 0;
  // A quiet tone of hz for about ms, under nothing: it is not heard while a clip or
  // samples sound, and they cut it off; it never holds anything up. hz 0 plays nothing.
  virtual void Tone(int hz, int ms) {
    (void)hz;
    (void)ms;
  }
};

}  // namespace voskel::platform
