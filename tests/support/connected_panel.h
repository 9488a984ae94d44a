#pragma once
// A whole panel whose receiver, the simulated one, has answered its first level poll; the
// base of the tests that press keys and read the clips, the wire and the files.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel::testing {

class ConnectedPanel : public ::testing::Test {
 protected:
  using Clips = std::vector<std::string>;

  explicit ConnectedPanel(HarnessOptions options = {}, sim::MemoryBanks memory = {})
      : sim(sim::BuiltInBand(), std::move(memory)), h(options) {}

  void SetUp() override {
    h.peer = sim.AsPeer();
    ASSERT_TRUE(h.Begin());
    h.Tick(3);
    ASSERT_EQ(h.state().ConnectState, ConnectState::kConnected);
    h.ClearWire();
    h.sound.Clear();
  }
  // Presses the keys and lets the panel handle them: the clips they spoke, pauses left
  // out; Sent() then holds the commands they sent.
  Clips Keys(std::string_view keys) {
    h.sound.Clear();
    h.ClearWire();
    h.Type(keys);
    h.Settle();
    return h.sound.Spoken();
  }
  Clips Press(int key) {
    h.sound.Clear();
    h.ClearWire();
    h.Press(key);
    h.Settle();
    return h.sound.Spoken();
  }
  std::vector<std::string> Sent() { return h.CommandsWithoutPolls(); }

  SimPeer sim;
  PanelHarness h;
};

}  // namespace voskel::testing
