// A receiver that answers "?" to a setting: the listener hears "inv", never the success
// clip, and the screen and the panel's state keep what the receiver has.
#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "support/connected_panel.h"
#include "support/refusing_peer.h"

namespace voskel {
namespace {

using Strings = std::vector<std::string>;

class RefusedSettings : public testing::ConnectedPanel {
 protected:
  void SetUp() override {
    ConnectedPanel::SetUp();
    h.peer = refusing.AsPeer();
  }
  testing::RefusingPeer refusing{sim};
};

TEST_F(RefusedSettings, EveryKeyThatSetsSomethingSaysInvAndTheStateStaysTheReceivers) {
  const struct {
    std::string refused;
    std::vector<int> keys;
    std::string never;  // the success clip
  } cases[] = {
      {"VA", testing::KeysOf("146.5\r"), "ok"},
      {"VA", {keys::kUp}, "ok"},
      {"MD", {keys::kF1 + 1}, "AM"},
      {"AT", {'A'}, "atton"},
      {"NL", {'L'}, "on"},
      {"ST", testing::KeysOf("I25\r"), "ok"},
      {"VB", {'R'}, "act"},
      {"VS", {'R'}, "act"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refused);
    refusing.refused = {c.refused};
    h.sound.Clear();
    for (int key : c.keys) h.Press(key);
    h.Settle();
    const Strings spoken = h.sound.Spoken();
    EXPECT_NE(std::find(spoken.begin(), spoken.end(), "inv"), spoken.end());
    EXPECT_EQ(std::find(spoken.begin(), spoken.end(), c.never), spoken.end());
    const auto& s = h.state();
    EXPECT_EQ(s.Frequency, "145.0");
    EXPECT_EQ(h.window.LineAt(150), "145.0000");
    EXPECT_EQ(s.ModeName, "FM");
    EXPECT_EQ(h.window.TextAt(380, 80), "FM");
    EXPECT_EQ(s.StepText, "12.5");
    EXPECT_FALSE(s.AttenuatorOn);
    EXPECT_FALSE(s.NoiseLimiterOn);
    EXPECT_EQ(s.SearchActive, SearchActive::kOff);
    EXPECT_EQ(h.window.TextAt(290, 320).find("Search"), std::string::npos);
  }
  refusing.refused.clear();
  EXPECT_EQ(Keys("A").back(), "atton") << "taken again once the receiver takes it";
}

// An answer lost on the line leaves the setting unknown: the receiver may have made it.
// Auto mode taken unheard would choose the mode itself, so the next mode key leaves it
// first, and the mode said is the receiver's.
TEST_F(RefusedSettings, AfterAnUnansweredAutoModeAModeKeyLeavesAutoModeFirst) {
  refusing.unanswered = {"AU1"};
  h.sound.Clear();
  h.ClearWire();
  h.Press(keys::kF7);
  h.Press(keys::kF1 + 1);
  h.Settle();
  const Strings sent = Sent();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(Strings(sent.begin(), sent.begin() + 3), (Strings{"AU1", "AU0", "MD2"}));
  EXPECT_EQ(h.sound.Spoken(), (Strings{"inv", "AM"}));
  EXPECT_FALSE(sim.engine.AutoMode());
  EXPECT_EQ(h.state().ModeName, "AM");
}

}  // namespace
}  // namespace voskel
