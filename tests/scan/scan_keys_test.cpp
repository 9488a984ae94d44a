// The three hunts for signals, keys in and the wire, clips, screen and files out: the
// receiver's search (R), the panel's scan of a bank file (R with a bank selected) and the
// receiver's memory scan (G, letter, Enter) with passes (P), each left with Enter.
#include "scan/scan_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "link/exchange.h"
#include "support/panel_harness.h"
#include "support/refusing_peer.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using testing::PanelHarness;
using Strings = std::vector<std::string>;

int CountOf(const Strings& items, const std::string& item) {
  return static_cast<int>(std::count(items.begin(), items.end(), item));
}

std::string Hz(long long hz) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%010lld", hz);
  return digits;
}

// A panel on the simulated receiver with the given signals, or on the test's own peer.
class Hunt : public ::testing::Test {
 protected:
  void Start(std::vector<sim::Signal> signals) {
    sim = std::make_unique<testing::SimPeer>(sim::SignalList(std::move(signals)));
    h.peer = sim->AsPeer();
    Connect();
  }
  // "LM" answered open or quiet as `open` says (flipped after each answer when `flip`);
  // "RX" with the queued lines, then with a new frequency each time.
  void StartScripted() {
    h.peer = [this](std::string_view in, std::int64_t) {
      std::string out;
      for (auto at = in.find("LM\r"); at != std::string_view::npos; at = in.find("LM\r", at + 1)) {
        out += !level.empty() ? level + "\r\n" : open ? "LM 120\r\n" : "LM%005\r\n";
        open = flip ? !open : open;
      }
      for (auto at = in.find("RX\r"); at != std::string_view::npos; at = in.find("RX\r", at + 1)) {
        if (queued.empty()) queued.push_back("VS RF" + Hz(145'000'000 + 12'500 * ++hits) + " ST");
        out += queued.front() + "\r\n";
        queued.erase(queued.begin());
      }
      return out + testing::TakenAnswers(in, {"LM", "RX"});
    };
    Connect();
  }
  void Connect() {
    ASSERT_TRUE(h.Begin());
    h.Tick(3);
    ASSERT_EQ(h.state().ConnectState, ConnectState::kConnected);
  }
  // Presses the keys and lets them run; the wire and the sound then hold what they did.
  void Keys(std::string_view keys) {
    h.ClearWire();
    h.sound.Clear();
    h.Type(keys);
    h.Settle();
  }
  Strings Sent() { return h.CommandsWithoutPolls(); }
  void TickUntil(const std::function<bool()>& done, int maxTicks = 3000) {
    for (int i = 0; i < maxTicks; ++i) {
      if (h.state().PollState == PollState::kIdle && h.state().KeyCount == 0 && done()) return;
      h.Tick();
    }
    FAIL() << "not reached in " << maxTicks << " ticks";
  }
  void Store(const std::string& channel) {
    sim->engine.Input("MX" + channel + "\r");
    sim->engine.TakeOutput();
  }
  // Until the panel has read the report of the receiver's scan halted on the channel.
  void UntilHaltedOn(int channel) {
    TickUntil([&] {
      return sim->engine.Halted() && sim->engine.CurrentChannel().number == channel &&
             h.state().ScanHold > 0 && !h.state().Quiet;
    });
  }
  int Found() { return h.state().FoundCount; }

  PanelHarness h;
  std::unique_ptr<testing::SimPeer> sim;
  bool open = true;
  bool flip = true;
  std::string level;  // when set, the answer to every "LM" instead
  long long hits = 0;
  Strings queued;
};

TEST_F(Hunt, SearchRecordsAHitOnceResumesOnTheFifthPollInContinueModeAndStaysInStopMode) {
  Start({{145.5, 8, 120}});
  Keys("R");
  EXPECT_EQ(Sent(), (Strings{"VA0145000000", "VB0146000000", "ST012.50", "MD1", "VS"}));
  EXPECT_EQ(h.sound.Spoken(), (Strings{"srch", "FM", "act"}));
  EXPECT_EQ(h.ReadFile("bank00.dat"), "Srchbank\r\nFM\r\n12.5\r\n \r\n9999\r\n");
  EXPECT_EQ(h.window.TextAt(340, 370), "145/146");

  TickUntil([&] { return Found() == 1; });
  EXPECT_EQ(h.state().Bank.channels.at(0).frequency, "145.5");
  EXPECT_EQ(h.sound.Spoken().back(), "1");
  EXPECT_EQ(h.window.TextAt(20, 400), "Found");
  h.ClearWire();
  TickUntil([&] { return CountOf(h.Commands(), "\x1e") == 2; });
  EXPECT_EQ(h.Commands(), (Strings{"LM", "LM", "LM", "LM", "LM", "\x1e", "\x1e"}));

  // Round the band onto the same repeater: shown again, neither recorded nor spoken.
  h.sound.Clear();
  TickUntil([&] { return CountOf(h.Commands(), "RX") == 1; });
  EXPECT_EQ(h.state().Frequency, "145.5");
  EXPECT_EQ(Found(), 1);
  EXPECT_TRUE(h.sound.Spoken().empty());

  // A new search in stop mode stays on the hit, says "stop" and records it silently.
  Keys("\rCR");
  TickUntil([&] { return Found() == 1; });
  EXPECT_EQ(h.sound.Spoken(), (Strings{"1", "ok", "stmode", "srch", "FM", "act", "stop"}));
  h.Tick(60);
  EXPECT_EQ(CountOf(h.Commands(), "\x1e"), 0);
  EXPECT_TRUE(sim->engine.Halted());
}

TEST_F(Hunt, EnterAfterTwelveHitsSavesThemSpeaksTheCountAndTunesTheLastHit) {
  std::vector<sim::Signal> repeaters;
  for (int i = 0; i < 12; ++i) repeaters.push_back({145.2 + 0.2 * i, 8, 120});
  Start(repeaters);
  Keys("E148\rR");
  TickUntil([&] { return Found() == 12; });
  Keys("\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"1", "2", "ok"}));
  EXPECT_EQ(h.ReadFile("bank00.dat"),
            "Srchbank\r\nFM\r\n12.5\r\n \r\n"
            "145.2\r\n \r\n145.4\r\n \r\n145.6\r\n \r\n145.8\r\n \r\n146.\r\n \r\n"
            "146.2\r\n \r\n146.4\r\n \r\n146.6\r\n \r\n146.8\r\n \r\n147.\r\n \r\n"
            "147.2\r\n \r\n147.4\r\n \r\n9999\r\n");
  EXPECT_EQ(Sent(), (Strings{"VA0147.40000", "ST012.50"}));
}

TEST_F(Hunt, SearchListHoldsNinetyOneHitsAndAnRfWithoutDigitsIsNoHit) {
  StartScripted();
  queued = {"VS RF ST012500", "VS RF"};
  Keys("R");
  TickUntil([&] { return hits == 92; }, 20000);
  EXPECT_EQ(CountOf(h.Commands(), "RX"), 94);
  EXPECT_EQ(Found(), 91);
  EXPECT_EQ(h.state().Bank.channels.at(0).frequency, "145.0125");
  EXPECT_EQ(h.state().Bank.channels.at(90).frequency, "146.1375");
  EXPECT_EQ(h.state().Bank.channels.size(), 91u);
  EXPECT_TRUE(h.state().Bank.ended);
  const Strings spoken = h.sound.Spoken();
  EXPECT_EQ(Strings(spoken.end() - 4, spoken.end()), (Strings{"9", "1", "bf", "bf"}));
}

TEST_F(Hunt, BankScanTunesChannelAfterChannelAndShowsTheTagOfTheOneHeld) {
  flip = false;
  open = false;
  StartScripted();
  h.WriteFile("bank01.dat",
              "bank01\r\nAM\r\n25\r\n \r\n118.7\r\nONE\r\n119.1\r\nTWO\r\n"
              "124.35\r\nTHREE\r\n9999\r\n");
  Keys("B01\r");
  h.Press('R');
  h.Tick(2);  // the key and the read behind it; the polls follow
  auto poll = [&](bool signal) {
    open = signal;
    h.ClearWire();
    h.Tick(3);
    const Strings sent = Sent();
    return sent.empty() ? std::string() : sent.front();
  };
  EXPECT_EQ(poll(false), "VA0118.70000");
  EXPECT_EQ(poll(false), "VA0119.10000");
  EXPECT_EQ(poll(false), "VA0124.35000");
  EXPECT_EQ(poll(false), "VA0118.70000");
  EXPECT_EQ(poll(true), "") << "a signal holds the scan";
  EXPECT_EQ(h.window.TextAt(340, 370), "ONE");
  EXPECT_EQ(poll(false), "VA0119.10000");
  EXPECT_EQ(poll(false), "VA0124.35000");
  EXPECT_EQ(poll(true), "");
  EXPECT_EQ(h.window.TextAt(340, 370), "THREE") << "tuned just before the list went round";
}

class MemoryScan : public Hunt {
 protected:
  void SetUp() override {
    Start({{145.5, 8, 120}, {145.6, 8, 120}});
    for (const char* quiet : {"A00", "A02", "B00", "B01", "B02", "B03", "B04"})
      Store(std::string(quiet) + " RF0118700000 MD2");
    Store("A01 RF0145500000 MD2");
    Store("A03 RF0145600000 MD2");
    Store("B05 RF0145600000 MD2");
  }
  // Scans bank A and passes the channels as the scan halts on them in turn.
  void ScanAPassing(std::initializer_list<int> channels) {
    Keys("GA\r");
    for (int channel : channels) {
      UntilHaltedOn(channel);
      Keys("P");
    }
  }
};

TEST_F(MemoryScan, AStopSaysItsChannelAndTagAtVerbosityTwoOnly) {
  Store("A01 RF0145500000 MD2 TMNORTH GATE");
  for (const Verbosity verbosity : {Verbosity::kAsEver, Verbosity::kWhereTo}) {
    h.state().Verbosity = verbosity;
    Keys("GA\r");
    UntilHaltedOn(1);
    h.Tick(2);
    const Strings spoken = h.sound.Spoken();
    const Strings told = verbosity == Verbosity::kAsEver
                             ? Strings{"stop"}
                             : Strings{"stop", "A", "0", "1", "tag:NORTH GATE"};
    const auto stop = std::find(spoken.begin(), spoken.end(), "stop");
    EXPECT_EQ(Strings(stop, std::min(stop + 5, spoken.end())), told) << ::testing::PrintToString(spoken);
    Keys("\r");
  }
}

TEST_F(MemoryScan, GTakesOneBankLetterAndEnterScansThatBank) {
  Keys("GK");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"radbank", "inv"}));
  Keys("G\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"radbank", "inv"})) << "no letter yet";
  EXPECT_EQ(h.state().EntryMode, EntryMode::kRadioBank);
  Keys("B\r");
  EXPECT_EQ(Sent(), (Strings{"LC1", "MAB", "MSB", "MSB"}));
  EXPECT_EQ(h.window.TextAt(380, 80), "AM") << "the bank's mode read back";
  UntilHaltedOn(5);
  EXPECT_EQ(h.state().Frequency, "145.6") << "shown 145.6000, as everywhere";
  EXPECT_EQ(h.sound.Spoken(), (Strings{"B", "AM", "scan", "stop"}));
}

TEST_F(MemoryScan, PassedChannelsAreSkippedAndEnterReleasesThem) {
  Keys("GA\r");
  UntilHaltedOn(1);
  Keys("P");
  EXPECT_EQ(h.sound.Spoken(), Strings{"pass"});
  EXPECT_EQ(Sent(), (Strings{"MRA01", "MP1", "MS"})) << "the channel heard, by its number";
  UntilHaltedOn(3);
  Keys("P");
  EXPECT_TRUE(sim->engine.Memory().banks[0].channels[3].passed);
  Keys("\r");
  const Strings sent = Sent();
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(Strings(sent.begin(), sent.begin() + 4), (Strings{"MRA01", "MP0", "MRA03", "MP0"}));
  EXPECT_FALSE(sim->engine.Memory().banks[0].channels[1].passed);
  EXPECT_EQ(h.state().ScanState, ScanState::kOff);
}

TEST_F(Hunt, TheFiftiethPassIsRefusedAndTheScanGoesOn) {
  std::vector<sim::Signal> signals;
  for (int i = 0; i < 50; ++i) signals.push_back({430.0 + 0.1 * i, 8, 120});
  Start(signals);
  for (int i = 0; i < 50; ++i) {
    char channel[8];
    std::snprintf(channel, sizeof channel, "A%02d", i % 100);
    Store(channel + (" RF" + Hz(430'000'000 + 100'000 * i)));
  }
  Keys("GA\r");
  for (int i = 0; i < 49; ++i) {
    UntilHaltedOn(i);
    Keys("P");
  }
  UntilHaltedOn(49);
  Keys("P");
  EXPECT_EQ(h.sound.Spoken(), Strings{"passfull"});
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(sim->engine.CurrentActivity(), sim::Activity::kScan);
  Keys("\r");
  EXPECT_EQ(CountOf(Sent(), "MP0"), 49);
}

TEST_F(MemoryScan, EveryWayOutReleasesThePassesAndAnEmptyBankIsSaidToBe) {
  Keys("GC\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"radbank", "C", "empty"})) << "nothing to scan there";
  EXPECT_EQ(h.state().ScanState, ScanState::kOff);
  ScanAPassing({1});
  h.WriteFile("bank01.dat", "bank01\r\nAM\r\n25\r\n \r\n118.7\r\nONE\r\n9999\r\n");
  Keys("B01\rR");
  const Strings sent = Sent();
  const Strings release{"MRA01", "MP0"};
  EXPECT_NE(std::search(sent.begin(), sent.end(), release.begin(), release.end()), sent.end());
  EXPECT_FALSE(sim->engine.Memory().banks[0].channels[1].passed);
  EXPECT_EQ(h.state().PassCount, 1);
  EXPECT_EQ(CountOf(h.sound.Spoken(), "exitscan"), 1);
  TickUntil([&] { return h.state().BankState == BankState::kScanning; });
  EXPECT_EQ(h.state().ScanState, ScanState::kOff) << "the bank scan runs, no longer stalled";
}

TEST_F(MemoryScan, ARefusedPassIsNoPassAndAModeRefusedAfterTheReleaseIsSaidToBeRefused) {
  testing::RefusingPeer refusing(*sim);
  refusing.refused = {"MP1"};
  h.peer = refusing.AsPeer();
  ScanAPassing({1});
  EXPECT_EQ(h.sound.Spoken(), (Strings{"pass", "inv"}));
  EXPECT_EQ(h.state().PassCount, 1);
  // Releasing passes leaves answers on the line; the settings after them must hear their own.
  refusing.refused = {"MD"};
  UntilHaltedOn(3);
  Keys("P");
  Keys("\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"exitscan", "inv"}));
  EXPECT_EQ(CountOf(Sent(), "MP0"), 1) << "only the pass the receiver took is released";
  EXPECT_EQ(h.state().RefusedCount, 2);
}

// A start whose answer was lost may have started the scan all the same: the receiver is
// tuned back to what the panel shows, not left scanning on the channels' own modes.
TEST_F(MemoryScan, AStartWhoseAnswerWasLostTunesTheReceiverBack) {
  testing::RefusingPeer peer(*sim);
  peer.unanswered = {"MSA"};
  h.peer = peer.AsPeer();
  Keys("GA\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"radbank", "A", "AM", "inv", "FM"}));
  EXPECT_EQ(sim->engine.CurrentActivity(), sim::Activity::kVfoA);
  EXPECT_EQ(sim->engine.VfoAHz(), 145'000'000);
  EXPECT_EQ(sim->engine.Mode(), 1) << "FM, as shown, not the channels' AM";
  EXPECT_EQ(h.state().ModeName, "FM");
  EXPECT_EQ(h.state().ScanState, ScanState::kOff);
}

// A receiver that has fallen silent is waited on once while passes are released, not once
// per pass; what it did not release stays listed, to be released when it answers again.
TEST_F(MemoryScan, ASilentReceiverHoldsTheReleaseOfPassesForOneWaitOnly) {
  bool silent = false;
  h.peer = [&, inner = sim->AsPeer()](std::string_view bytes, std::int64_t now) {
    std::string out = inner(bytes, now);
    return silent ? std::string() : out;
  };
  ScanAPassing({1, 3});
  silent = true;
  h.sound.clipMs = 0;
  h.ClearWire();
  h.Type("\r");
  const std::int64_t before = h.clock.now;
  h.Tick();
  EXPECT_EQ(CountOf(Sent(), "MRA03"), 0) << "not waited on for the second pass";
  EXPECT_EQ(h.state().PassCount, 3);
  EXPECT_LE(h.clock.now - before, static_cast<std::int64_t>(Sent().size()) * kAnswerWaitMs + 100)
      << "each command waited on once, one tick of 100 ms besides";
  silent = false;
  TickUntil([&] { return h.state().PassCount == 1; });
  EXPECT_FALSE(sim->engine.Memory().banks[0].channels[1].passed);
  EXPECT_FALSE(sim->engine.Memory().banks[0].channels[3].passed);
}

// A pass of a channel that is gone is refused for ever ("MP0" on nothing): it is dropped,
// whether the bank was emptied at the receiver or by W.
TEST_F(MemoryScan, PassesOfChannelsThatAreGoneAreDroppedNotTriedForEver) {
  ScanAPassing({1, 3});
  sim->engine.Input("MQA%%\r");
  sim->engine.TakeOutput();
  Keys("\r");
  EXPECT_EQ(CountOf(Sent(), "MP0"), 0) << "an empty channel has no pass to release";
  EXPECT_EQ(h.state().PassCount, 1);
  Store("A01 RF0145500000 MD2");
  Store("A03 RF0145600000 MD2");
  ScanAPassing({1});
  h.WriteFile("bank01.dat", "bank01\r\nAM\r\n25\r\n \r\n118.7\r\nONE\r\n9999\r\n");
  Keys("W01A\r");
  EXPECT_EQ(h.state().PassCount, 1) << "the bank W emptied holds no pass";
}

TEST_F(Hunt, HitsAreOnDiskAsTheyAreFoundAndOnlyWhereTheReceiverHeardASignal) {
  Start({{145.5, 8, 120}, {145.8, 8, 120}});
  Keys("145.5\r");  // the receiver sits on a live signal as the search starts
  Keys("R");
  TickUntil([&] { return Found() == 1; });
  EXPECT_EQ(h.ReadFile("bank00.dat"), "Srchbank\r\nFM\r\n12.5\r\n \r\n145.5\r\n \r\n9999\r\n")
      << "kept without Enter, as a killed panel would leave it";
  EXPECT_EQ(h.window.LineAt(400), "Found 1");
  TickUntil([&] { return Found() == 2; });
  EXPECT_EQ(h.ReadFile("bank00.dat"),
            "Srchbank\r\nFM\r\n12.5\r\n \r\n145.5\r\n \r\n145.8\r\n \r\n9999\r\n");
  h.Tick(400);
  EXPECT_EQ(Found(), 2) << "every hit is where the receiver heard a signal";
}

TEST_F(Hunt, ALevelReplyThatIsNoLevelAndACutFrequencyAreNoHits) {
  level = "LM?";
  queued = {"VS RF0", "VS RF0145xyzw ST", "VS RF0145500000 ST"};
  StartScripted();
  Keys("R");
  h.Tick(30);
  EXPECT_EQ(h.state().SearchActive, SearchActive::kMoving) << "\"LM?\" is no open squelch";
  EXPECT_EQ(CountOf(h.Commands(), "RX"), 0);
  level = "LM 120";
  TickUntil([&] { return Found() == 1; });
  EXPECT_EQ(CountOf(h.Commands(), "RX"), 3) << "a cut report is asked for again";
  EXPECT_EQ(h.state().Bank.channels.at(0).frequency, "145.5");
}

// The whole road on the simulator's own band: search the repeaters, keep the hits in a
// numbered bank, scan that bank.
TEST_F(Hunt, RepeatersFoundAreSavedCopiedIntoABankAndScanned) {
  Start(sim::BuiltInBand().Signals());
  Keys("R");
  h.Tick(600);
  Keys("\r");
  Strings hits;
  for (int i = 0; i < Found(); ++i) hits.push_back(h.state().Bank.channels.at(static_cast<std::size_t>(i)).frequency);
  std::sort(hits.begin(), hits.end());
  EXPECT_EQ(hits, (Strings{"145.5", "145.6", "145.725", "145.775"}));
  Keys("T05\r");
  EXPECT_EQ(h.sound.Spoken().back(), "ok");
  Keys("B05\r");
  EXPECT_EQ(h.sound.Spoken().back(), "sel");
  Keys("R");
  TickUntil([&] { return h.state().BankState == BankState::kHalted; });
  EXPECT_EQ(h.state().Frequency, h.state().Bank.channels.at(0).frequency) << "held on the steady repeater";
  EXPECT_EQ(h.sound.Spoken().back(), "stop");
}

}  // namespace
}  // namespace voskel
