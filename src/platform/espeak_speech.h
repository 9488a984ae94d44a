#pragma once
// Speech synthesized in the panel's own process with libespeak-ng, in the voice and shape of
// the clips that tools/make-voice-clips makes with the espeak-ng program, so that a tag
// sounds like the clips around it.
#include <cstddef>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "platform/speech.h"

namespace voskel::platform {

struct SpeechVoice {
  std::string name = "en-us";  // an espeak-ng voice
  int wordsPerMinute = 190;
};

// The text as espeak-ng is given it: each byte a Latin-1 character in UTF-8, control
// characters as blanks; empty when nothing is left to say.
std::string SpeakableText(std::string_view latin1);

// The clip generator's voice: VOSKEL_VOICE and VOSKEL_VOICE_RATE where they are set, its
// defaults where not; a rate that is no number keeps the default, one out of espeak-ng's
// range is brought into it.
SpeechVoice SpeechVoiceFromEnvironment();

class EspeakSpeech : public Speech {
 public:
  // The synthesizer starts with the first text, not here: starting it sets the process's
  // locale, which must not be in force yet when the window is made (it would store the
  // window's title in an encoding desktop tools cannot read), and it would hold up the
  // window's first appearance besides. It starts in a few milliseconds.
  explicit EspeakSpeech(SpeechVoice voice = {});

  // The text is Latin-1, as the bank files are.
  std::span<const std::int16_t> Synthesize(std::string_view text) override;

  // Starts the synthesizer if it has not started. False when espeak-ng could not start
  // (no voice data): every text is then silent.
  bool Ready();
  int SynthesisCount() const { return syntheses_; }
  int CacheHits() const { return cacheHits_; }

  // Tags heard lately: stepping to and fro through a bank finds them here.
  static constexpr std::size_t kCacheSize = 32;

 private:
  struct Spoken {
    std::string text;
    std::vector<std::int16_t> samples;
  };

  SpeechVoice voice_;
  std::optional<bool> ready_;  // none until the synthesizer was started
  std::list<Spoken> cache_;    // the most recently used first
  int syntheses_ = 0;
  int cacheHits_ = 0;
};

}  // namespace voskel::platform
