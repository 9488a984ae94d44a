// A receiver that answered and then went away in the middle of the run.
#include <gtest/gtest.h>

#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using testing::HarnessOptions;
using testing::PanelHarness;
using testing::SimPeer;
using Strings = std::vector<std::string>;

class LostReceiver : public ::testing::Test {
 protected:
  explicit LostReceiver(HarnessOptions options = {}) : h(options) {}
  void SetUp() override {
    h.peer = sim.AsPeer();
    ASSERT_TRUE(h.Begin());
    h.Tick(3);
    ASSERT_EQ(h.state().ConnectState, 1);
    h.sound.Clear();
  }
  PanelHarness h;
  SimPeer sim;
};

TEST_F(LostReceiver, KeyThatFindsItGoneStopsAtRncWithoutASuccessClip) {
  h.WriteFile("bank01.dat", "bank01\r\nFM\r\n12.5\r\n \r\n145.5\r\nREPEATER\r\n9999\r\n");
  // Enter: the tuning command is the first that cannot be written.
  h.Unplug();
  h.Type("145.5\r");
  h.Settle();
  EXPECT_EQ(h.sound.Spoken(), (Strings{"1", "4", "5", "point", "5", "rnc"}));
  EXPECT_EQ(h.state().EntryMode, 0);
  EXPECT_EQ(h.state().RunFlag, 1);
}

TEST_F(LostReceiver, BankSelectionThatFindsItGoneSaysNoSel) {
  h.WriteFile("bank01.dat", "bank01\r\nFM\r\n12.5\r\n \r\n145.5\r\nREPEATER\r\n9999\r\n");
  h.Type("B01");
  h.Settle();
  h.Unplug();
  h.sound.Clear();
  h.Type("\r");
  h.Settle();
  EXPECT_EQ(h.sound.Spoken(), Strings{"rnc"});
}

class LostReceiverWithDebug : public LostReceiver {
 protected:
  LostReceiverWithDebug() : LostReceiver(HarnessOptions{.debugSwitch = 1}) {}
};

TEST_F(LostReceiverWithDebug, QEndsTheRunEvenInTheTestExchange) {
  h.Type("X");
  h.Settle();
  h.Unplug();
  h.Tick(5);  // a level poll finds it gone
  h.Type("VQ");
  h.Settle();
  EXPECT_EQ(h.state().RunFlag, 0);
  EXPECT_EQ(h.sound.Spoken().back(), "quit");
  EXPECT_EQ(h.Finish(), 0);
  EXPECT_NE(h.ReadFile("bank00.dat").find("\r\n145.0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace voskel
