#pragma once
// A conversation with the simulated receiver on a virtual clock.
#include <string>
#include <string_view>
#include <vector>

#include "engine.h"

namespace voskel::sim::testing {

class Conversation {
 public:
  explicit Conversation(std::vector<Signal> signals = {})
      : engine(SignalList(std::move(signals))) {}

  // Sends the command with its CR and returns everything the receiver answered.
  std::string Say(std::string_view command) {
    engine.Input(std::string(command) + "\r");
    return engine.TakeOutput();
  }
  std::string Bytes(std::string_view bytes) {
    engine.Input(bytes);
    return engine.TakeOutput();
  }
  std::string Wait(std::int64_t ms) {
    engine.Advance(ms);
    return engine.TakeOutput();
  }

  Engine engine;
};

}  // namespace voskel::sim::testing
