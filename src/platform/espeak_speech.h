#pragma once
// Speech synthesized in the panel's own process with libespeak-ng, in the voice and shape of
// the clips that tools/make-voice-clips makes with the espeak-ng program, so that a tag
// sounds like the clips around it.
#include <cstddef>
#include <list>
#include <string>
#include <vector>

#include "platform/speech.h"

namespace voskel::platform {

struct SpeechVoice {
  std::string name = "en-us";  // an espeak-ng voice
  int wordsPerMinute = 190;
};

// The clip generator's voice: VOSKEL_VOICE and VOSKEL_VOICE_RATE where they are set, its
// defaults where not; a rate that is no number keeps the default, one out of espeak-ng's
// range is brought into it.
SpeechVoice SpeechVoiceFromEnvironment();

class EspeakSpeech : public Speech {
 public:
  // Starts the synthesizer now, so that the first tag does not wait for it.
  explicit EspeakSpeech(SpeechVoice voice = {});

  std::span<const std::int16_t> Synthesize(std::string_view text) override;

  // False when espeak-ng could not start (no voice data): every text is then silent.
  bool Ready() const { return ready_; }
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
  bool ready_ = false;
  std::list<Spoken> cache_;  // the most recently used first
  int syntheses_ = 0;
  int cacheHits_ = 0;
};

}  // namespace voskel::platform
