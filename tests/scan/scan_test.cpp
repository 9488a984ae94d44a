// The two scans: the panel's own scan through a bank file (R with a bank selected) and
// the receiver's scan of one of its memory banks (G, a letter, Enter), with channels
// passed by P and released by Enter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/virtual_keys.h"
#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using testing::PanelHarness;
using testing::SimPeer;
using Strings = std::vector<std::string>;

Strings WithoutPolls(Strings commands) {
  commands.erase(std::remove(commands.begin(), commands.end(), "LM"), commands.end());
  return commands;
}

void TickUntil(PanelHarness& h, const std::function<bool()>& done, int maxTicks = 3000) {
  for (int i = 0; i < maxTicks; ++i) {
    if (h.state().PollState == 0 && h.state().KeyCount == 0 && done()) return;
    h.Tick();
  }
  FAIL() << "condition not reached in " << maxTicks << " ticks";
}

// A receiver whose squelch the test opens and closes.
class BankScan : public ::testing::Test {
 protected:
  void SetUp() override {
    h.peer = [this](std::string_view in, std::int64_t) {
      std::string out;
      for (std::size_t at = in.find("LM\r"); at != std::string_view::npos;
           at = in.find("LM\r", at + 1))
        out += open ? "LM 120\r\n" : "LM%005\r\n";
      return out;
    };
    ASSERT_TRUE(h.Begin());
    h.Tick(3);
    h.WriteFile("bank01.dat",
                "bank01\r\nAM\r\n25\r\n \r\n118.7\r\nONE\r\n119.1\r\nTWO\r\n124.35\r\nTHREE\r\n"
                "9999\r\n");
    h.Type("B01\r");
    h.Settle();
    h.Press('R');
    h.Tick(2);  // the key and the read behind it, not yet the poll
    h.ClearWire();
    h.sound.Clear();
  }
  // One level poll; returns the channel it tuned, or "" when it tuned none.
  std::string Poll(bool signal) {
    open = signal;
    h.ClearWire();
    h.Tick(3);
    const Strings sent = WithoutPolls(h.Commands());
    return sent.empty() ? "" : sent.front();
  }
  std::string Tag() { return h.window.TextAt(340, 370); }

  PanelHarness h;
  bool open = false;
};

TEST_F(BankScan, QuietPollsTuneEachChannelInTurnAndASignalShowsTheTunedTag) {
  EXPECT_EQ(h.state().BankState, 2);
  EXPECT_EQ(Poll(false), "VA0118.70000");
  EXPECT_EQ(h.sound.Spoken(), Strings{"scan"});
  EXPECT_EQ(Poll(false), "VA0119.10000");
  EXPECT_EQ(Poll(false), "VA0124.35000");
  EXPECT_EQ(Poll(false), "VA0118.70000");
  h.sound.Clear();
  EXPECT_EQ(Poll(true), "") << "a signal holds the scan";
  EXPECT_EQ(Tag(), "ONE");
  EXPECT_EQ(h.sound.Spoken(), Strings{"stop"});
  EXPECT_EQ(Poll(true), "");
  EXPECT_EQ(h.state().BankState, 4);

  EXPECT_EQ(Poll(false), "VA0119.10000");
  EXPECT_EQ(Tag(), "");
  EXPECT_EQ(Poll(false), "VA0124.35000");
  EXPECT_EQ(Poll(true), "");
  EXPECT_EQ(Tag(), "THREE") << "the last channel, tuned just before the list went round";

  h.sound.Clear();
  h.Type("\r");
  h.Settle();
  EXPECT_EQ(h.state().BankState, 0);
  EXPECT_EQ(h.sound.Spoken().front(), "exitscan");
}

// Bank A of the simulated receiver: quiet channels and channels with a steady signal.
class MemoryScan : public ::testing::Test {
 protected:
  explicit MemoryScan(std::vector<sim::Signal> signals = {{145.5, 8, 120}, {145.6, 8, 120}})
      : sim(sim::SignalList(std::move(signals))) {}
  void SetUp() override {
    h.peer = sim.AsPeer();
    ASSERT_TRUE(h.Begin());
    h.Tick(3);
    ASSERT_EQ(h.state().ConnectState, 1);
    Store("A00 RF0145200000 MD2 TMQUIET");
    Store("A01 RF0145500000 MD2 TMREPEATER");
    Store("A02 RF0145300000 MD2 TMQUIET");
    Store("A03 RF0145600000 MD2 TMSIMPLEX");
    for (const char* quiet : {"B00", "B01", "B02", "B03", "B04"})
      Store(std::string(quiet) + " RF0118700000 MD2 TMTOWER");
    Store("B05 RF0145600000 MD2 TMSIMPLEX");
  }
  void Store(const std::string& channel) {
    sim.engine.Input("MX" + channel + "\r");
    sim.engine.TakeOutput();
  }
  void Keys(std::string_view keys) {
    h.ClearWire();
    h.sound.Clear();
    h.Type(keys);
    h.Settle();
  }
  // Until the panel has read the report of the receiver halted on that channel.
  void UntilHaltedOn(int channel) {
    TickUntil(h, [&] {
      return sim.engine.Halted() && sim.engine.CurrentChannel().number == channel &&
             h.state().ScanState == 3 && h.state().ScanHold > 0 && h.state().Quiet == 0;
    });
  }

  SimPeer sim;
  PanelHarness h;
};

TEST_F(MemoryScan, GTakesOneBankLetterAndEnterStartsTheScan) {
  Keys("GK");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"radbank", "inv"}));
  EXPECT_EQ(h.state().EntryMode, 0);
  Keys("G\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"radbank", "inv"})) << "no letter chosen";
  EXPECT_EQ(h.state().EntryMode, 8);
  EXPECT_TRUE(WithoutPolls(h.Commands()).empty());

  Keys("B\r");
  EXPECT_EQ(WithoutPolls(h.Commands()), (Strings{"LC1", "MAB", "MSB", "MSB"}));
  EXPECT_EQ(h.state().ModeName, "AM");
  EXPECT_EQ(h.window.TextAt(380, 80), "AM");
  EXPECT_EQ(sim.engine.CurrentActivity(), sim::Activity::kScan);
  UntilHaltedOn(5);
  EXPECT_EQ(h.state().Frequency, "145.600000");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"B", "AM", "scan", "stop"}));
}

TEST_F(MemoryScan, PassedChannelsAreSkippedAndReleasedByEnter) {
  Keys("GA\r");
  UntilHaltedOn(1);
  Keys("P");
  EXPECT_EQ(h.sound.Spoken(), Strings{"pass"});
  EXPECT_EQ(WithoutPolls(h.Commands()), (Strings{"MR", "MP1", "MS"}));
  UntilHaltedOn(3);
  Keys("P");
  EXPECT_EQ(h.state().PassCount, 3);
  EXPECT_TRUE(sim.engine.Memory().banks[0].channels[1].passed);
  EXPECT_TRUE(sim.engine.Memory().banks[0].channels[3].passed);

  Keys("\r");
  const Strings sent = WithoutPolls(h.Commands());
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(Strings(sent.begin(), sent.begin() + 4), (Strings{"MRA01", "MP0", "MRA03", "MP0"}));
  EXPECT_EQ(h.sound.Spoken().front(), "exitscan");
  EXPECT_FALSE(sim.engine.Memory().banks[0].channels[1].passed);
  EXPECT_FALSE(sim.engine.Memory().banks[0].channels[3].passed);
  EXPECT_EQ(h.state().PassCount, 1);
  EXPECT_EQ(h.state().ScanState, 0);
}

// Fifty channels of bank A, each with a steady signal.
std::vector<sim::Signal> FiftySignals() {
  std::vector<sim::Signal> signals;
  for (int i = 0; i < 50; ++i) signals.push_back({430.0 + 0.1 * i, 8, 120});
  return signals;
}

class MemoryScanFullBank : public MemoryScan {
 protected:
  MemoryScanFullBank() : MemoryScan(FiftySignals()) {}
};

TEST_F(MemoryScanFullBank, TheFiftiethPassIsRefusedAndTheScanGoesOn) {
  for (int i = 0; i < 50; ++i) {
    char channel[40];
    std::snprintf(channel, sizeof channel, "A%02d RF%010d", i, 430'000'000 + 100'000 * i);
    Store(channel);
  }
  Keys("GA\r");
  for (int i = 0; i < 49; ++i) {
    UntilHaltedOn(i);
    Keys("P");
  }
  UntilHaltedOn(49);
  Keys("P");
  EXPECT_EQ(h.sound.Spoken(), Strings{"passfull"});
  EXPECT_TRUE(WithoutPolls(h.Commands()).empty());
  EXPECT_EQ(h.state().PassCount, 50);
  EXPECT_EQ(sim.engine.CurrentActivity(), sim::Activity::kScan);

  Keys("\r");
  const Strings sent = WithoutPolls(h.Commands());
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "MP0"), 49);
  EXPECT_EQ(sent.front(), "MRA00");
}

}  // namespace
}  // namespace voskel
