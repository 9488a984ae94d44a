#include "keys/poll_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using testing::PanelHarness;

int CountOf(const std::vector<std::string>& items, const std::string& item) {
  return static_cast<int>(std::count(items.begin(), items.end(), item));
}

TEST(Meter, LinesForRawLevels) {
  const std::string bar(18, '*');
  const std::string tail = ">" + std::string(17, ' ');
  EXPECT_EQ(MeterLineFor(bar, 0 / 12), "0" + tail);
  EXPECT_EQ(MeterLineFor(bar, 60 / 12), "****5" + tail);
  EXPECT_EQ(MeterLineFor(bar, 120 / 12), std::string(9, '*') + "9+" + tail);
  EXPECT_EQ(MeterLineFor(bar, 156 / 12), std::string(12, '*') + "9++++" + tail);
  EXPECT_EQ(MeterLineFor(bar, 255 / 12), std::string(18, '*') + "9++++" + tail);
  EXPECT_EQ(MeterLineFor(bar, -3), "0" + tail);
}

// The level reply of one poll, answered by a script.
class MeterPoll : public ::testing::Test {
 protected:
  void SetUp() override {
    h.peer = [this](std::string_view in, std::int64_t) {
      return std::string(in).find("LM\r") != std::string::npos ? reply : std::string();
    };
    ASSERT_TRUE(h.Begin());
  }
  void Poll(const std::string& answer) {
    reply = answer;
    h.Tick(3);  // idle, "LM" out, reply in
  }
  std::string Meter() { return h.window.TextAt(320, 30); }
  PanelHarness h;
  std::string reply;
};

TEST_F(MeterPoll, LevelRepliesDrawTheMeterInGreen) {
  Poll("LM 060\r\n");
  EXPECT_EQ(h.state().SignalLevel, 5);
  EXPECT_EQ(Meter(), "****5>");
  EXPECT_EQ(h.window.LastPrintContaining("****5>")->colour, platform::kGreen);
  EXPECT_EQ(h.window.LastPrintContaining("****5>")->font, (platform::Font{"Ariel", 30, 700}));
  EXPECT_EQ(h.panel->pen.colour, platform::kBlack);
  Poll("LM%123\r\n");
  EXPECT_TRUE(h.state().Quiet);
  EXPECT_EQ(h.state().SignalLevel, 0);
  EXPECT_EQ(Meter(), ">") << "a closed squelch blanks the meter";
  Poll("LC 002\r\n");
  EXPECT_EQ(h.state().SignalLevel, 1) << "(2 + 10) / 12";
  EXPECT_EQ(Meter(), "1>");
}

TEST_F(MeterPoll, OtherRepliesKeepTheLevelAndNoReplyKeepsTheMeter) {
  Poll("LM 156\r\n");
  EXPECT_EQ(h.state().SignalLevel, 13);
  Poll("MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMREPEATER    \r\n");
  EXPECT_EQ(h.state().SignalLevel, 13);
  EXPECT_EQ(Meter(), std::string(12, '*') + "9++++>");
  const auto prints = h.window.prints.size();
  Poll("");
  EXPECT_EQ(h.window.prints.size(), prints) << "nothing redrawn without a reply";
  for (const char* garbled : {"LM$013\r\n", "LM 13\r\n"}) {
    Poll(garbled);
    EXPECT_TRUE(h.state().Quiet) << garbled << " is no open squelch";
  }
}

TEST(PollCycle, PollsTheLevelEveryThirdTickAndConnects) {
  PanelHarness h;
  testing::SimPeer sim;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  h.ClearWire();
  h.Tick(30);
  EXPECT_EQ(CountOf(h.Commands(), "LM"), 10);
  EXPECT_EQ(h.state().ConnectState, ConnectState::kConnected);
  EXPECT_EQ(CountOf(h.sound.Spoken(), "connected"), 1);
}

TEST_F(MeterPoll, MeterLineFollowsTheSquelchBothWays) {
  Poll("LM%000\r\n");
  EXPECT_TRUE(h.state().Quiet);
  EXPECT_EQ(h.state().MeterLine, ">" + std::string(26, ' '));
  Poll("LM 100\r\n");
  EXPECT_FALSE(h.state().Quiet);
  EXPECT_EQ(h.state().MeterLine, MeterLineFor(std::string(18, '*'), 8));
  EXPECT_EQ(Meter(), "*******8>");
}

TEST(KeyQueue, SixtyFourPressesWaitForTheirTurnAndALossEndsTheEntryThere) {
  PanelHarness h;
  testing::SimPeer sim;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  h.Tick(3);
  // Typed faster than the panel takes them (no tick in between, as while a clip plays):
  // seventy digits and Enter, of which the queue holds the first 64.
  h.Type(std::string(70, '1') + "\r");
  EXPECT_EQ(h.state().KeyCount, 2 * 64);
  h.sound.Clear();
  h.ClearWire();
  h.Settle();
  const auto spoken = h.sound.Spoken();
  EXPECT_EQ(CountOf(spoken, "1"), 64);
  EXPECT_EQ(spoken.back(), "inv") << "the loss is told where it is";
  EXPECT_TRUE(h.CommandsWithoutPolls().empty()) << "nothing tuned on what remains";
  h.Type("145.5\r");
  h.Settle();
  EXPECT_EQ(h.sound.Spoken().back(), "ok") << "and the next entry starts afresh";
  EXPECT_EQ(sim.engine.VfoAHz(), 145'500'000);
}

TEST(KeyQueue, HeldKeyQueuesOnceAndKeysAlternateWithReads) {
  PanelHarness h;
  ASSERT_TRUE(h.Begin());
  h.state().ConnectState = ConnectState::kConnected;
  using Kind = platform::Event::Kind;
  for (int i = 0; i < 5; ++i) OnPanelEvent(*h.panel, {Kind::KeyDown, '1'});
  OnPanelEvent(*h.panel, {Kind::KeyUp, '1'});
  OnPanelEvent(*h.panel, {Kind::KeyDown, '2'});
  OnPanelEvent(*h.panel, {Kind::KeyUp, '2'});
  EXPECT_EQ(h.state().KeyCount, 4);
  EXPECT_EQ(h.state().KeyQueue[0], QueuedInput::Press('1'));
  EXPECT_EQ(h.state().KeyQueue[1], QueuedInput::ReadReply());
  EXPECT_EQ(h.state().KeyQueue[2], QueuedInput::Press('2'));
  h.sound.Clear();
  h.Tick();
  EXPECT_EQ(h.sound.Spoken(), std::vector<std::string>{"1"});
  h.Tick();
  EXPECT_EQ(h.state().KeyCount, 2) << "the marker behind the key reads the reply";
  h.Tick();
  EXPECT_EQ(h.sound.Spoken(), (std::vector<std::string>{"1", "2"}));
  h.Tick();
  EXPECT_EQ(h.state().KeyCount, 0);
  EXPECT_EQ(h.state().PollState, PollState::kAskLevel);
}

TEST(PollCycle, SearchHaltReadsTheFrequencyAndGivesUpOnSilence) {
  PanelHarness h;
  std::string rxAnswer = "VS RF0145525000 ST012500 AU0 MD1 AT0\r\n";
  h.peer = [&](std::string_view in, std::int64_t) {
    std::string out;
    const std::string text(in);
    if (text.find("LM\r") != std::string::npos) out += "LM 100\r\n";
    if (text.find("RX\r") != std::string::npos) out += rxAnswer;
    return out;
  };
  ASSERT_TRUE(h.Begin());
  h.state().ConnectState = ConnectState::kConnected;
  h.state().SearchActive = SearchActive::kMoving;
  h.state().StopMode = StopMode::kStayOnHit;
  h.state().Bank = Bank{"Srchbank", "x", "x", "x", {}, true};
  h.Tick(5);  // idle, LM, reply (halt), RX, reply
  EXPECT_EQ(h.state().SearchActive, SearchActive::kHalted);
  EXPECT_EQ(h.state().Frequency, "145.525");
  EXPECT_EQ(h.state().Bank.channels.at(0).frequency, "145.525");
  EXPECT_EQ(h.state().FoundCount, 1);
  EXPECT_EQ(h.window.TextAt(270, 320), "      *** STOPPED ***");

  // A receiver that never says where it stopped: the cycle gives up and keys flow again.
  h.state().SearchActive = SearchActive::kMoving;
  rxAnswer.clear();
  h.ClearWire();
  h.Tick(3 + 2 * kMaxStateQueries + 2);
  EXPECT_EQ(CountOf(h.Commands(), "RX"), kMaxStateQueries);
  EXPECT_NE(h.state().PollState, PollState::kReadFrequency);
}

}  // namespace
}  // namespace voskel
