// A receiver that answered and then went away in the middle of the run.
#include <gtest/gtest.h>

#include <filesystem>

#include "link/pty_pair.h"
#include "support/connected_panel.h"

namespace voskel {
namespace {

using testing::HarnessOptions;
using Strings = std::vector<std::string>;

class LostReceiver : public testing::ConnectedPanel {
 protected:
  explicit LostReceiver(HarnessOptions options = {}) : ConnectedPanel(options) {}
};

TEST_F(LostReceiver, KeyThatFindsItGoneStopsAtRncWithoutASuccessClip) {
  h.WriteFile("bank01.dat", "bank01\r\nFM\r\n12.5\r\n \r\n145.5\r\nREPEATER\r\n9999\r\n");
  // Enter: the tuning command is the first that cannot be written.
  h.Unplug();
  h.Type("145.5\r");
  h.Settle();
  EXPECT_EQ(h.sound.Spoken(), (Strings{"1", "4", "5", "point", "5", "rnc"}));
  EXPECT_EQ(h.state().EntryMode, EntryMode::kNone);
  EXPECT_TRUE(h.state().RunFlag);
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

TEST_F(LostReceiver, ComesBackWhenPluggedInAgainAndGetsTheSettingsAgain) {
  h.Type("145.5\r");
  h.Settle();
  h.Unplug();
  h.Tick(20);  // found gone at a poll; the port is tried again every second meanwhile
  h.sound.Clear();
  h.Press('A');
  h.Settle();
  EXPECT_EQ(h.sound.Spoken(), Strings{"rnc"}) << "keys say so while it is gone";

  sim.engine = sim::Engine(sim::BuiltInBand());  // switched off and on again
  h.ClearWire();
  h.Replug();
  h.sound.Clear();
  h.Tick(30);  // within a second it is found and answers
  ASSERT_EQ(h.state().ConnectState, ConnectState::kConnected);
  EXPECT_EQ(h.sound.Spoken(), (Strings{"connected", "FM"}));
  EXPECT_EQ(h.CommandsWithoutPolls(), (Strings{"VA0145.50000", "AU0", "MD1", "ST012.50", "AT0"}));
  h.ClearWire();
  h.sound.Clear();
  h.Press('A');
  h.Settle();
  EXPECT_EQ(h.sound.Spoken(), Strings{"atton"});
  EXPECT_EQ(h.CommandsWithoutPolls(), Strings{"AT1"});
}

TEST_F(LostReceiver, AVanishedLinkIsWaitedForAndItsReturnBringsConnectedBack) {
  const std::filesystem::path com1 = h.dir() / "com1";
  h.Unplug();  // the simulator or socat ends and takes its link with it
  std::filesystem::remove(com1);
  h.Tick(40);
  EXPECT_EQ(h.state().ConnectState, ConnectState::kLost);
  EXPECT_FALSE(h.ports->IsOpen(1));
  EXPECT_EQ(h.ports->DevicePath(1), com1) << "the port fell back to another line";

  // The link comes back leading to a program that talks, but not as the receiver does.
  testing::PtyPair stranger;
  std::filesystem::create_symlink(stranger.SlavePath(), com1);
  h.Tick(10);
  EXPECT_EQ(stranger.Receive(3), "LM\r");
  ASSERT_TRUE(stranger.Send("?\r\nLM\r\n"));
  h.Tick(10);
  EXPECT_EQ(h.state().ConnectState, ConnectState::kLost) << "taken for the receiver without a level reply";

  // Started again, the simulator makes its link anew; the silent line is let go.
  h.Replug();
  h.sound.Clear();
  h.Tick(20);
  ASSERT_EQ(h.state().ConnectState, ConnectState::kConnected);
  EXPECT_EQ(h.sound.Spoken(), (Strings{"connected", "FM"}));
}

TEST_F(LostReceiver, ASearchRunningWhenItWentIsEndedAndItsListStored) {
  h.state().SearchActive = SearchActive::kMoving;
  h.state().Bank.title = "Srchbank";
  h.state().Bank.channels = {{"145.525", " "}};
  h.state().Bank.ended = true;
  h.state().BankFileName = "bank00.dat";
  h.Unplug();
  h.Tick(6);
  EXPECT_EQ(h.state().SearchActive, SearchActive::kOff);
  EXPECT_NE(h.ReadFile("bank00.dat").find("Srchbank\r\n"), std::string::npos);
  EXPECT_NE(h.ReadFile("bank00.dat").find("145.525\r\n \r\n9999\r\n"), std::string::npos);
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
  EXPECT_FALSE(h.state().RunFlag);
  EXPECT_EQ(h.sound.Spoken().back(), "quit");
  EXPECT_EQ(h.Finish(), 0);
  EXPECT_NE(h.ReadFile("bank00.dat").find("\r\n145.0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace voskel
