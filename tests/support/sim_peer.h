#pragma once
// The simulated receiver as the harness's peer, on the harness's virtual clock.
#include "engine.h"
#include "support/panel_harness.h"

namespace voskel::testing {

class SimPeer {
 public:
  explicit SimPeer(sim::SignalList signals = sim::BuiltInBand(), sim::MemoryBanks memory = {})
      : engine(std::move(signals), std::move(memory)) {}

  Peer AsPeer() {
    return [this](std::string_view bytes, std::int64_t now) {
      if (now > last_) engine.Advance(now - last_);
      last_ = now;
      engine.Input(bytes);
      return engine.TakeOutput();
    };
  }

  sim::Engine engine;

 private:
  std::int64_t last_ = 0;
};

}  // namespace voskel::testing
