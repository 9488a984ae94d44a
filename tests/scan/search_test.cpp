// The receiver's search started with R, followed by the poll cycle and ended with Enter,
// against the simulated receiver and against scripted answers where a case needs more
// hits or odder replies than a band of signals gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using testing::PanelHarness;
using testing::SimPeer;
using Strings = std::vector<std::string>;

int CountOf(const Strings& items, const std::string& item) {
  return static_cast<int>(std::count(items.begin(), items.end(), item));
}

Strings WithoutPolls(Strings commands) {
  commands.erase(std::remove(commands.begin(), commands.end(), "LM"), commands.end());
  return commands;
}

// Ticks until the condition holds with the poll cycle at rest; fails after maxTicks.
void TickUntil(PanelHarness& h, const std::function<bool()>& done, int maxTicks = 3000) {
  for (int i = 0; i < maxTicks; ++i) {
    if (h.state().PollState == 0 && h.state().KeyCount == 0 && done()) return;
    h.Tick();
  }
  FAIL() << "condition not reached in " << maxTicks << " ticks";
}

class Search : public ::testing::Test {
 protected:
  explicit Search(std::vector<sim::Signal> signals) : sim(sim::SignalList(std::move(signals))) {}
  void SetUp() override {
    h.peer = sim.AsPeer();
    ASSERT_TRUE(h.Begin());
    h.Tick(3);
    ASSERT_EQ(h.state().ConnectState, 1);
  }
  void Keys(std::string_view keys) {
    h.Type(keys);
    h.Settle();
  }
  int Found() { return h.state().FoundCount; }

  SimPeer sim;
  PanelHarness h;
};

class SearchOneRepeater : public Search {
 protected:
  SearchOneRepeater() : Search({{145.5, 8, 120}}) {}
};

TEST_F(SearchOneRepeater, ContinueModeRecordsAHitOnceAndResumesOnTheFifthPoll) {
  h.ClearWire();
  h.sound.Clear();
  Keys("R");
  EXPECT_EQ(WithoutPolls(h.Commands()),
            (Strings{"VA0145000000", "VB0146000000", "ST012.50", "MD1", "VS"}));
  EXPECT_EQ(h.sound.Spoken(), (Strings{"srch", "FM", "act"}));
  EXPECT_EQ(h.ReadFile("bank00.dat"), "Srchbank\r\nFM\r\n12.5\r\n \r\n9999\r\n");
  EXPECT_EQ(h.window.TextAt(290, 320), "Search Mode Active");
  EXPECT_EQ(h.window.TextAt(340, 370), "145/146");

  h.sound.Clear();
  TickUntil(h, [&] { return Found() == 1; });
  EXPECT_EQ(h.state().Frequency, "145.5");
  EXPECT_EQ(h.sound.Spoken(), Strings{"1"});
  EXPECT_EQ(h.window.TextAt(20, 400), "Found");
  EXPECT_EQ(h.window.TextAt(750, 400), "1");

  h.ClearWire();
  TickUntil(h, [&] { return CountOf(h.Commands(), "\x1e") == 2; });
  EXPECT_EQ(h.Commands(), (Strings{"LM", "LM", "LM", "LM", "LM", "\x1e", "\x1e"}));

  // Round the band and onto the same repeater again: shown, not recorded, not spoken.
  h.sound.Clear();
  TickUntil(h, [&] { return CountOf(h.Commands(), "RX") == 1; });
  EXPECT_EQ(h.state().Frequency, "145.5");
  EXPECT_EQ(Found(), 1);
  EXPECT_EQ(h.state().BankLines[6], "9999");
  EXPECT_TRUE(h.sound.Spoken().empty());
}

TEST_F(SearchOneRepeater, StopModeStaysOnTheHitAndSaysStop) {
  Keys("C");
  h.sound.Clear();
  Keys("R");
  h.ClearWire();
  TickUntil(h, [&] { return Found() == 1; });
  EXPECT_EQ(h.sound.Spoken(), (Strings{"srch", "FM", "act", "stop"}))
      << "hits are recorded without a count in stop mode";
  h.Tick(60);
  EXPECT_EQ(CountOf(h.Commands(), "\x1e"), 0);
  EXPECT_EQ(h.state().SearchActive, 2);
  EXPECT_TRUE(sim.engine.Halted());
  EXPECT_EQ(h.window.TextAt(270, 320), "      *** STOPPED ***");
}

// Twelve repeaters 200 kHz apart between 145.2 and 147.4 MHz.
std::vector<sim::Signal> TwelveRepeaters() {
  std::vector<sim::Signal> signals;
  for (int i = 0; i < 12; ++i) signals.push_back({145.2 + 0.2 * i, 8, 120});
  return signals;
}

class SearchTwelveRepeaters : public Search {
 protected:
  SearchTwelveRepeaters() : Search(TwelveRepeaters()) {}
};

TEST_F(SearchTwelveRepeaters, EnterSavesTheListSpeaksTheCountAndTunesTheLastHit) {
  Keys("E148\rR");
  TickUntil(h, [&] { return Found() == 12; });
  h.sound.Clear();
  h.ClearWire();
  Keys("\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"1", "2", "ok"}));
  EXPECT_EQ(h.ReadFile("bank00.dat"),
            "Srchbank\r\nFM\r\n12.5\r\n \r\n"
            "145.2\r\n \r\n145.4\r\n \r\n145.6\r\n \r\n145.8\r\n \r\n146.\r\n \r\n"
            "146.2\r\n \r\n146.4\r\n \r\n146.6\r\n \r\n146.8\r\n \r\n147.\r\n \r\n"
            "147.2\r\n \r\n147.4\r\n \r\n9999\r\n");
  EXPECT_EQ(WithoutPolls(h.Commands()), (Strings{"VA0147.40000", "ST012.50"}));
  EXPECT_EQ(h.state().SearchActive, 0);
  EXPECT_EQ(sim.engine.CurrentActivity(), sim::Activity::kVfoA);
}

// A receiver whose squelch opens on every other poll and that reports a new frequency at
// every "RX", or the answers queued by the test.
class ScriptedSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    h.peer = [this](std::string_view in, std::int64_t) {
      std::string out;
      for (std::size_t at = in.find("LM\r"); at != std::string_view::npos;
           at = in.find("LM\r", at + 1)) {
        out += open ? "LM 120\r\n" : "LM%005\r\n";
        open = !open;
      }
      for (std::size_t at = in.find("RX\r"); at != std::string_view::npos;
           at = in.find("RX\r", at + 1))
        out += NextState();
      return out;
    };
    ASSERT_TRUE(h.Begin());
    h.Tick(3);
    ASSERT_EQ(h.state().ConnectState, 1);
    h.Type("R");
    h.Settle();
  }
  std::string NextState() {
    if (!queued.empty()) {
      std::string line = queued.front();
      queued.erase(queued.begin());
      return line;
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%010lld", 145'000'000LL + 12'500LL * ++hits);
    return "VS RF" + std::string(digits) + " ST012500 AU0 MD1 AT0\r\n";
  }

  PanelHarness h;
  bool open = true;
  long long hits = 0;
  Strings queued;
};

TEST_F(ScriptedSearch, TheListHoldsNinetyOneHitsAndTellsItIsFull) {
  h.sound.Clear();
  TickUntil(h, [&] { return hits == 92; }, 20000);
  EXPECT_EQ(h.state().FoundCount, 91);
  EXPECT_EQ(h.state().BankLines[4 + 2 * 90], "146.1375");
  EXPECT_EQ(h.state().BankLines[4 + 2 * 91], "9999");
  const Strings spoken = h.sound.Spoken();
  ASSERT_GE(spoken.size(), 4u);
  EXPECT_EQ(Strings(spoken.end() - 4, spoken.end()), (Strings{"9", "1", "bf", "bf"}));
}

TEST_F(ScriptedSearch, AnRfWithoutDigitsIsAskedAgainAndNeverRecorded) {
  queued = {"VS RF ST012500 AU0\r\n", "VS RF\r\n"};
  h.ClearWire();
  TickUntil(h, [&] { return hits == 1; });
  EXPECT_EQ(CountOf(h.Commands(), "RX"), 3);
  EXPECT_EQ(h.state().FoundCount, 1);
  EXPECT_EQ(h.state().BankLines[4], "145.0125");
}

}  // namespace
}  // namespace voskel

namespace voskel {
namespace {

// The whole road with the simulator's own band: search the two-metre repeaters, keep the
// hits in a numbered bank, and scan that bank.
TEST(SearchToBankScan, RepeatersFoundSavedCopiedAndScanned) {
  SimPeer sim;
  PanelHarness h;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(h.Begin());
  h.Tick(3);
  h.Type("R");
  h.Tick(600);  // a minute: the band is swept many times over
  h.Type("\r");
  h.Settle();
  Strings hits;
  for (int i = 0; i < h.state().FoundCount; ++i) hits.push_back(h.state().BankLines[4 + 2 * i]);
  std::sort(hits.begin(), hits.end());
  EXPECT_EQ(hits, (Strings{"145.5", "145.6", "145.725", "145.775"}));
  EXPECT_NE(h.ReadFile("bank00.dat").find("\r\n145.6\r\n \r\n"), std::string::npos);

  h.Type("T05\r");
  h.Settle();
  EXPECT_EQ(h.sound.Spoken().back(), "ok");
  h.Type("B05\r");
  h.Settle();
  EXPECT_EQ(h.sound.Spoken().back(), "sel");
  EXPECT_EQ(h.state().BankState, 1);
  h.Type("R");
  TickUntil(h, [&] { return h.state().BankState == 4; });
  EXPECT_EQ(h.state().Frequency, "145.6") << "the bank scan holds on the steady repeater";
  EXPECT_EQ(h.sound.Spoken().back(), "stop");
}

}  // namespace
}  // namespace voskel
