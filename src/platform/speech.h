#pragma once
// Text spoken by a synthesizer, for what has no recorded clip: a channel's tag.
#include <cstdint>
#include <span>
#include <string_view>

namespace voskel::platform {

class Speech {
 public:
  virtual ~Speech() = default;
  // The samples of the text spoken, in the clips' format (Sound's kSamplesPerSecond, mono);
  // empty when there is nothing to say. They stay valid until the next call.
  virtual std::span<const std::int16_t> Synthesize(std::string_view text) = 0;
};

}  // namespace voskel::platform
