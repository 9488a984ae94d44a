// The command keys, pressed as a user would, against the simulated receiver.
#include "keys/handle_key.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "support/connected_panel.h"

namespace voskel {
namespace {

using testing::HarnessOptions;
using Strings = std::vector<std::string>;

// Keys pressed one after another; the clips and the wire gather until a test clears them.
class Keys : public testing::ConnectedPanel {
 protected:
  explicit Keys(HarnessOptions options = {}) : ConnectedPanel(options) {}
  void Run(std::string_view keys) {
    h.Type(keys);
    h.Settle();
  }
  void Press(int key) {
    h.Press(key);
    h.Settle();
  }
};

class KeysWithLog : public Keys {
 protected:
  KeysWithLog() : Keys(HarnessOptions{.debugSwitch = 1}) {}
};

TEST_F(KeysWithLog, TypedFrequencyIsSpokenTunedAndLogged) {
  Run("145.5\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"1", "4", "5", "point", "5", "ok"}));
  EXPECT_EQ(Sent(), (Strings{"VA0145.50000", "ST012.50"}));
  EXPECT_EQ(sim.engine.VfoAHz(), 145500000);
  EXPECT_EQ(h.window.LineAt(150), "145.5000");
  h.panel->log.Close();
  const std::string log = h.ReadFile("debug1.dat");
  const auto keys = log.find("**1\r\n**4\r\n**5\r\n**.\r\n**5\r\n**C/R\r\n");
  ASSERT_NE(keys, std::string::npos) << log;
  EXPECT_LT(keys, log.find("TX= VA0145.50000"));

  h.sound.Clear();
  Run("7");
  EXPECT_EQ(h.state().FrequencyEntry, "7") << "the next digit starts a new number";
}

TEST_F(Keys, EnterWithNothingTypedTunesAgain) {
  Run("\r");
  EXPECT_EQ(Sent(), (Strings{"VA0145.00000", "ST012.50"}));
  EXPECT_EQ(h.sound.Spoken(), Strings{"ok"});
}

TEST_F(Keys, LimitEntryIsLeftByAnotherCommandKey) {
  Run("S1A");
  EXPECT_EQ(h.state().SearchLow, "1");
  EXPECT_EQ(h.state().EntryMode, EntryMode::kNone);
  EXPECT_EQ(Sent(), Strings{"AT1"});
  EXPECT_EQ(h.sound.Spoken(), (Strings{"start", "1", "atton"}));
}

TEST_F(Keys, LimitEntryWithoutDigitsSpeaksTheLimit) {
  Run("S\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"start", "1", "4", "5"}));
  EXPECT_EQ(h.state().SearchLow, "145");
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Keys, LimitAndStepEntriesRedrawTheSearchLine) {
  Run("S144\r");
  EXPECT_EQ(h.state().SearchLow, "144");
  EXPECT_EQ(h.window.TextAt(80, 250), "144");
  EXPECT_EQ(h.sound.Spoken().back(), "ok");
  Run("E148\r");
  EXPECT_EQ(h.window.TextAt(750, 250), "148");
  Run("I25\r");
  EXPECT_EQ(h.window.TextAt(300, 250), "25");
  EXPECT_EQ(Sent(), Strings{"ST025000"}) << "the step goes to the receiver at once";
  EXPECT_EQ(sim.engine.StepHz(), 25000);
  Run("C");
  EXPECT_EQ(h.window.TextAt(500, 250), "STOP");
  EXPECT_EQ(h.sound.Spoken().back(), "stmode");
  Run("C");
  EXPECT_EQ(h.window.TextAt(500, 250), "CONT");
}

TEST_F(Keys, PageKeysStepByTheStepsFirstDecimal) {
  Run("145.5\r");
  h.ClearWire();
  Press(keys::kPageUp);
  EXPECT_EQ(h.state().Frequency, "145.5125");
  Run("I6.25\r");
  Run("145.5\r");
  Press(keys::kPageUp);
  EXPECT_EQ(h.state().Frequency, "145.5062");
  Press(keys::kPageDown);
  Press(keys::kPageDown);
  EXPECT_EQ(h.state().Frequency, "145.4938");
}

TEST_F(Keys, ArrowsStepAcross2147MHzAndRefuseBelowZero) {
  Run("2147.483\r");
  h.ClearWire();
  Press(keys::kUp);
  EXPECT_EQ(h.state().Frequency, "2147.484");
  EXPECT_EQ(Sent(), Strings{"VA2147.48400"});
  Press(keys::kRight);
  EXPECT_EQ(h.state().Frequency, "2147.4841");
  Press(keys::kLeft);
  Press(keys::kDown);
  EXPECT_EQ(h.state().Frequency, "2147.483");
}

TEST_F(Keys, FrequenciesTheReceiverCannotTuneAreRefusedBeforeAnythingIsSent) {
  Run("145.5\r");
  h.ClearWire();
  h.sound.Clear();
  Run("5000\r");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"5", "0", "0", "0", "inv"}));
  EXPECT_EQ(h.state().Frequency, "145.5") << "the tuned frequency stays";
  Run(std::string(13, '9'));
  Press(keys::kDown);  // abandons the typed digits: the step starts from where the receiver is
  EXPECT_EQ(h.state().Frequency, "145.499");
  Run("145.5\r");
  h.ClearWire();
  h.state().StepText = "1" + std::string(16, '0');
  Press(keys::kPageUp);
  EXPECT_EQ(Sent(), Strings{});
  EXPECT_EQ(h.state().Frequency, "145.5");
  Run(".1\r");
  h.ClearWire();
  h.sound.Clear();
  Press(keys::kDown);
  Press(keys::kLeft);
  EXPECT_EQ(h.sound.Spoken(), (Strings{"inv", "inv"}));
  EXPECT_EQ(Sent(), Strings{});
  EXPECT_EQ(h.state().Frequency, ".1");

  // Search limits: refused at Enter, and when another key leaves the entry.
  Run("S5000\r");
  EXPECT_EQ(h.state().SearchLow, "145");
  EXPECT_EQ(h.sound.Spoken().back(), "inv");
  h.sound.Clear();
  Run("E.05A");
  EXPECT_EQ(h.state().SearchHigh, "146");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"end", "point", "0", "5", "inv", "atton"}));
  h.state().SearchHigh = "9999";  // as a hand-edited stored state may hold
  h.sound.Clear();
  Run("R");
  EXPECT_EQ(h.sound.Spoken(), Strings{"inv"});
  EXPECT_EQ(h.state().SearchActive, SearchActive::kOff);
  Run("S3000\r");
  EXPECT_EQ(h.state().SearchLow, "3000");
  EXPECT_EQ(Sent(), Strings{"AT1"});
}

TEST_F(Keys, FunctionKeysSelectModes) {
  for (int key = keys::kF1; key <= keys::kF7; ++key) h.Press(key);
  h.Settle();
  EXPECT_EQ(Sent(), (Strings{"MD1", "MD2", "MD4", "MD3", "MD0", "MD5", "AU1"}));
  EXPECT_EQ(h.sound.Spoken(), (Strings{"FM", "AM", "LSB", "USB", "WFM", "cw", "auto"}));
  EXPECT_EQ(h.window.TextAt(380, 80), "AUT");
  EXPECT_TRUE(sim.engine.AutoMode());
}

TEST_F(Keys, AttenuatorNoiseLimiterLevelAndFrequency) {
  Run("AA");
  EXPECT_EQ(Sent(), (Strings{"AT1", "AT0"}));
  Run("L");
  EXPECT_EQ(Sent().back(), "NL1");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"atton", "attoff", "noise", "on"}));
  h.sound.Clear();
  h.state().SignalLevel = 4;
  Run("M");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"s", "4"}));
  h.sound.Clear();
  Run("F");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"1", "4", "5", "point", "0", "fm.wav"}));
  h.sound.Clear();
  Run("N");
  EXPECT_EQ(h.sound.Spoken(), (Strings{"svoice", "off"}));
  EXPECT_FALSE(h.state().ScanVoice);
}

TEST_F(Keys, HelpPlaysWithoutWaiting) {
  Run("H");
  ASSERT_FALSE(h.sound.played.empty());
  EXPECT_EQ(h.sound.played.back().name, "wave\\help");
  EXPECT_FALSE(h.sound.played.back().wait);
}

TEST_F(Keys, QuitCompletesThePendingEntryAndEndsTheRun) {
  Run("146Q");
  EXPECT_FALSE(h.state().RunFlag);
  EXPECT_EQ(h.sound.Spoken().back(), "quit");
  EXPECT_EQ(h.Finish(), 0);
  EXPECT_EQ(Sent(), (Strings{"VA0146000000", "ST012.50", "EX"}));
  EXPECT_NE(h.ReadFile("bank00.dat").find("\r\n146.0\r\n"), std::string::npos);
}

TEST_F(Keys, ScanInterruptionLeavesAStartedMemoryScan) {
  // Keys queued together run one after another with no level poll in between that would
  // see the scan move.
  h.state().ScanState = ScanState::kStarted;
  h.Press(' ');
  h.Press('M');
  h.Press(keys::kRight);
  h.Tick(2);
  EXPECT_EQ(h.state().ScanState, ScanState::kStarted)
      << "space makes the receiver move on, nothing more";
  EXPECT_EQ(h.Wire(), "\x1e");
  h.Tick(2);
  EXPECT_EQ(h.state().ScanState, ScanState::kStarted) << "M leaves the scan running";
  h.sound.Clear();
  h.Tick(2);
  EXPECT_EQ(h.state().ScanState, ScanState::kOff);
  EXPECT_EQ(h.sound.Spoken().front(), "exitscan");
  EXPECT_EQ(h.state().Frequency, "145.0001") << "then the key does its own work";
}

TEST_F(Keys, SteppingIsRefusedWhileASearchRuns) {
  h.state().SearchActive = SearchActive::kMoving;
  Press(keys::kUp);
  Press(keys::kPageUp);
  EXPECT_EQ(h.sound.Spoken(), (Strings{"inv", "inv"}));
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Keys, UnassignedKeysDoNothing) {
  Run("UY");
  Press(123);
  EXPECT_TRUE(h.sound.Spoken().empty());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Keys, TestExchangeNeedsTheDebugSwitch) {
  Run("XVA\r");
  EXPECT_TRUE(h.window.LineAt(0).find("TX=") == std::string::npos);
  EXPECT_EQ(Sent(), (Strings{"AT1", "VA0145.00000", "ST012.50"}))
      << "X, V and A act as plain keys";
}

TEST_F(KeysWithLog, TestExchangeSendsTheTypedCommandAndShowsTheRawAnswer) {
  Run("XVA\r");
  EXPECT_EQ(h.sound.Spoken(), Strings{"test"});
  EXPECT_EQ(Sent(), Strings{"VA"});
  const auto* line = h.window.LastPrintContaining("TX=VA RX=");
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text, "TX=VA RX=\r\n" + std::string(22, ' '));
  EXPECT_EQ(line->font, (platform::Font{"ARIEL", 10, 700}));
  EXPECT_EQ(line->x, 0);
  EXPECT_EQ(line->y, 0);
  Run("XQ1\r");
  EXPECT_TRUE(h.state().RunFlag) << "Q is typed, not obeyed";
  EXPECT_EQ(Sent().back(), "Q1");
  EXPECT_NE(h.window.LastPrintContaining("TX=Q1 RX=?\r\n"), nullptr);
}

TEST(PageStep, OnlyTheFirstDecimalCounts) {
  EXPECT_EQ(PageStepHz("12.5"), 12500);
  EXPECT_EQ(PageStepHz("6.25"), 6200);
  EXPECT_EQ(PageStepHz("100"), 100000);
  EXPECT_EQ(PageStepHz("5."), 5000);
}

}  // namespace
}  // namespace voskel
