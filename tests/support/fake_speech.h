#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sound.h"
#include "platform/speech.h"

namespace voskel::testing {

// Speech without a synthesizer: msPerCharacter of quiet samples for each character, so
// that spoken texts take time on a virtual clock. Remembers what it was asked to say.
class FakeSpeech : public platform::Speech {
 public:
  std::span<const std::int16_t> Synthesize(std::string_view text) override {
    asked.emplace_back(text);
    samples_.assign(text.size() * msPerCharacter * platform::kSamplesPerSecond / 1000, 1);
    return samples_;
  }

  std::vector<std::string> asked;
  std::size_t msPerCharacter = 50;

 private:
  std::vector<std::int16_t> samples_;
};

}  // namespace voskel::testing
