#include <gtest/gtest.h>

#include <set>

#include "sim_conversation.h"

namespace voskel::sim {
namespace {

using testing::Conversation;

const Signal kRepeater{145.5, 8, 120, 0, 0};
const Signal kSimplex{145.8, 8, 90, 0, 0};

TEST(SimFrequencyForms, VaAndVbTakeBothNumberForms) {
  Conversation rx;
  EXPECT_EQ(rx.Say("VA0145000000"), "\r\n");  // what the panel sends for 145
  EXPECT_EQ(rx.engine.VfoAHz(), 145'000'000);
  EXPECT_EQ(rx.Say("VA0145.50000"), "\r\n");  // and for 145.5
  EXPECT_EQ(rx.engine.VfoAHz(), 145'500'000);
  EXPECT_EQ(rx.Say("VA000.500000"), "\r\n");
  EXPECT_EQ(rx.engine.VfoAHz(), 500'000);
  EXPECT_EQ(rx.Say("VA01455000001234"), "\r\n");  // digits past the tenth ignored
  EXPECT_EQ(rx.engine.VfoAHz(), 145'500'000);
  EXPECT_EQ(rx.Say("VA0145.123456789"), "\r\n");
  EXPECT_EQ(rx.engine.VfoAHz(), 145'123'456);
  EXPECT_EQ(rx.Say("VB0433.92500"), "\r\n");
  EXPECT_EQ(rx.engine.VfoBHz(), 433'925'000);
  EXPECT_EQ(rx.engine.CurrentActivity(), Activity::kVfoA);  // VB+f does not select B

  for (const char* bad : {"VA01x5000000", "VA.5", "VA4000.00000", "VA0000000000", "VA1.2.3"}) {
    EXPECT_EQ(rx.Say(bad), "?\r\n") << bad;
  }
  EXPECT_EQ(rx.engine.VfoAHz(), 145'123'456);
}

TEST(SimFrequencyForms, StepAndModeAndFlags) {
  Conversation rx;
  EXPECT_EQ(rx.Say("ST025.00"), "\r\n");
  EXPECT_EQ(rx.engine.StepHz(), 25'000);
  EXPECT_EQ(rx.Say("ST012500"), "\r\n");
  EXPECT_EQ(rx.engine.StepHz(), 12'500);
  EXPECT_EQ(rx.Say("ST006.25"), "\r\n");
  EXPECT_EQ(rx.engine.StepHz(), 6'250);
  EXPECT_EQ(rx.Say("ST000000"), "?\r\n");
  EXPECT_EQ(rx.Say("MD2"), "\r\n");
  EXPECT_EQ(rx.Say("MD"), "MD2\r\n");
  EXPECT_EQ(rx.Say("MD9"), "?\r\n");
  EXPECT_EQ(rx.Say("AT1"), "\r\n");
  EXPECT_EQ(rx.Say("AT"), "AT 1\r\n");
  EXPECT_EQ(rx.Say("AT0"), "\r\n");
  EXPECT_EQ(rx.Say("AT"), "AT 0\r\n");
  EXPECT_EQ(rx.Say("AU1"), "\r\n");
  EXPECT_EQ(rx.Say("NL1"), "\r\n");
  EXPECT_TRUE(rx.engine.NoiseLimiter());
  EXPECT_EQ(rx.Say("LC1"), "\r\n");
  EXPECT_EQ(rx.Say("RX"), "VA RF0145500000 ST006250 AU1 MD2 AT0\r\n");
  EXPECT_EQ(rx.Say("EX"), "");  // no reply, and the receiver keeps answering
  EXPECT_EQ(rx.Say("VR").substr(0, 2), "VR");
  EXPECT_EQ(rx.Say("ZZ"), "?\r\n");
}

TEST(SimStateLines, LevelFlagAndEveryStateLine) {
  Conversation rx({kRepeater});
  EXPECT_EQ(rx.Say("VA0145.50000"), "\r\n");
  EXPECT_EQ(rx.Say("LM"), "LM 120\r\n");
  EXPECT_EQ(rx.Say("AT1"), "\r\n");
  EXPECT_EQ(rx.Say("LM"), "LM 100\r\n");
  EXPECT_EQ(rx.Say("VA0145.60000"), "\r\n");
  const std::string quiet = rx.Say("LM");
  ASSERT_EQ(quiet.size(), 8u);
  EXPECT_EQ(quiet.substr(0, 3), "LM%");  // '%' exactly when the squelch is closed
  EXPECT_LT(std::stoi(quiet.substr(3, 3)), 20);

  EXPECT_EQ(rx.Say("VB"), "\r\n");
  EXPECT_EQ(rx.Say("RX"), "VB RF0146000000 ST012500 AU0 MD1 AT1\r\n");
  EXPECT_EQ(rx.Say("RF0146.52000"), "\r\n");  // tunes the selected VFO
  EXPECT_EQ(rx.engine.VfoBHz(), 146'520'000);
  EXPECT_EQ(rx.Say("VA"), "\r\n");
  EXPECT_EQ(rx.Say("RX"), "VA RF0145600000 ST012500 AU0 MD1 AT1\r\n");
  EXPECT_EQ(rx.Say("RF"), "RF0145600000\r\n");

  EXPECT_EQ(rx.Say("MXC03 RF0145500000 ST012500 MD1 AT0 TMRELAY"), "\r\n");
  EXPECT_EQ(rx.Say("MRC03"), "MXC03 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRELAY       \r\n");
  EXPECT_EQ(rx.Say("RX"), "MR MXC03 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMRELAY       \r\n");
  EXPECT_EQ(rx.Say("LM"), "LM 120\r\n");  // memory mode listens on the channel
  // An empty channel still says where the receiver listens.
  EXPECT_EQ(rx.Say("MRC04"), "MXC04 ---\r\n");
  EXPECT_EQ(rx.Say("RX"), "MR MXC04 --- RF0145500000 ST012500 AU0 MD1 AT0\r\n");
}

TEST(SimKeypad, ArrowBytesTuneAndMoveOnIsInertOutsideSearch) {
  Conversation rx;
  EXPECT_EQ(rx.Bytes("\x1C"), "");
  EXPECT_EQ(rx.engine.VfoAHz(), 145'512'500);
  EXPECT_EQ(rx.Bytes("\x1F\r"), "\r\n");  // with CR: acknowledged
  EXPECT_EQ(rx.Bytes("\x1D"), "");
  EXPECT_EQ(rx.engine.VfoAHz(), 145'487'500);
  EXPECT_EQ(rx.Bytes("\x1E"), "");
  EXPECT_EQ(rx.engine.VfoAHz(), 145'487'500);
  EXPECT_EQ(rx.Bytes("\x1E\r"), "\r\n");
}

class SimSearch : public ::testing::Test {
 protected:
  // Search 145.000 .. 146.000 MHz at 12.5 kHz: 145.500 is 40 channels in, 1.6 s at
  // 25 channels a second.
  void StartSearch() {
    EXPECT_EQ(rx.Say("VA0145000000"), "\r\n");
    EXPECT_EQ(rx.Say("VB0146000000"), "\r\n");
    EXPECT_EQ(rx.Say("ST012.50"), "\r\n");
    EXPECT_EQ(rx.Say("VS"), "VS RF0145000000 ST012500 AU0 MD1 AT0\r\n");
  }
  std::int64_t SearchHz() {
    const std::string line = rx.Say("RX");
    EXPECT_EQ(line.substr(0, 5), "VS RF") << line;
    return std::stoll(line.substr(5, 10));
  }

  Conversation rx{{kRepeater, kSimplex}};
};

TEST_F(SimSearch, HaltsOnASignalAndMovesOnWithTheResumeByte) {
  StartSearch();
  EXPECT_EQ(rx.Wait(1500), "");
  EXPECT_FALSE(rx.engine.Halted());
  EXPECT_LT(SearchHz(), 145'500'000);
  rx.Wait(200);
  ASSERT_TRUE(rx.engine.Halted());
  const std::string line = rx.Say("RX");
  ASSERT_GE(line.size(), 15u);
  EXPECT_EQ(line.substr(0, 15), "VS RF0145500000");
  EXPECT_EQ(rx.Say("LM"), "LM 120\r\n");

  rx.Wait(60'000);  // a steady signal keeps it halted
  EXPECT_EQ(SearchHz(), 145'500'000);

  EXPECT_EQ(rx.Bytes("\x1E"), "");  // the panel's move-on byte, no CR, no reply
  EXPECT_FALSE(rx.engine.Halted());
  EXPECT_GT(SearchHz(), 145'500'000);
  rx.Wait(1000);  // 24 channels later: halted on the next signal
  ASSERT_TRUE(rx.engine.Halted());
  EXPECT_EQ(SearchHz(), 145'800'000);
  EXPECT_EQ(rx.Bytes("\x1E\r"), "\r\n");
  EXPECT_FALSE(rx.engine.Halted());

  // Past the upper limit it starts again from VFO A and finds the first signal again.
  rx.Wait(2500);
  EXPECT_TRUE(rx.engine.Halted());
  EXPECT_EQ(SearchHz(), 145'500'000);

  EXPECT_EQ(rx.Say("VA0145000000"), "\r\n");  // setting VFO A ends the search
  EXPECT_EQ(rx.engine.CurrentActivity(), Activity::kVfoA);
}

TEST(SimSearchTiming, ResumesTwoSecondsAfterTheSignalGoes) {
  // On for 5 s from time 0, then off: the search halts at 1.6 s, the signal goes at 5 s,
  // the search moves on at 7 s.
  Conversation rx({{145.5, 8, 120, 5, 30}});
  rx.Say("VA0145000000");
  rx.Say("VB0146000000");
  rx.Say("ST012500");
  rx.Say("VS");
  rx.Wait(1700);
  ASSERT_TRUE(rx.engine.Halted());
  rx.Wait(6950 - 1700);
  EXPECT_TRUE(rx.engine.Halted());
  EXPECT_EQ(rx.Say("LM").substr(0, 3), "LM%");
  rx.Wait(100);
  EXPECT_FALSE(rx.engine.Halted());
  EXPECT_GT(rx.engine.FrequencyHz(), 145'500'000);
}

class SimMemory : public ::testing::Test {
 protected:
  Conversation rx{{kRepeater}};
};

TEST_F(SimMemory, WriteRecallListAndClear) {
  // Fields in any order; TM takes the rest of the line.
  EXPECT_EQ(rx.Say("MXB07 MD2 AT1 ST025.00 RF0118.70000 TMTOWER 1"), "\r\n");
  EXPECT_EQ(rx.Say("MXB12 RF0145500000 ST012500 MD1 TMREPEATER    "), "\r\n");
  const std::string b07 = "MXB07 MP0 RF0118700000 ST025000 AU0 MD2 AT1 TMTOWER 1     ";
  EXPECT_EQ(rx.Say("MRB07"), b07 + "\r\n");
  EXPECT_EQ(rx.engine.CurrentActivity(), Activity::kMemory);
  EXPECT_EQ(rx.engine.Mode(), 2);

  std::string expected;
  for (int n = 0; n < 10; ++n) {
    expected += n == 7 ? b07 : "MXB0" + std::to_string(n) + " ---";
    expected += "\r\n";
  }
  EXPECT_EQ(rx.Say("MAB"), expected);
  const std::string next = rx.Say("MA");
  EXPECT_EQ(next.substr(0, 11), "MXB10 ---\r\n");
  EXPECT_NE(next.find("\r\nMXB12 MP0 RF0145500000"), std::string::npos);

  EXPECT_EQ(rx.Say("MXB60 RF0145500000"), "?\r\n");  // past the bank's size
  EXPECT_EQ(rx.Say("MXB08 ST012500"), "?\r\n");      // no frequency
  EXPECT_EQ(rx.Say("MXB08 RF0145500000 QQ1"), "?\r\n");
  EXPECT_EQ(rx.Say("MRB08"), "MXB08 ---\r\n");

  const auto version = rx.engine.MemoryVersion();
  EXPECT_EQ(rx.Say("MQB%%"), "\r\n");
  EXPECT_GT(rx.engine.MemoryVersion(), version);
  EXPECT_EQ(rx.Say("MRB07"), "MXB07 ---\r\n");
  EXPECT_EQ(rx.Say("MRB12"), "MXB12 ---\r\n");
  EXPECT_EQ(rx.Say("MQB"), "?\r\n");
}

TEST_F(SimMemory, BankSizeAnswersOnlyAfterItsDelay) {
  const std::string query = rx.Say("MWA");
  EXPECT_EQ(query, "MWA 050\r\n");
  EXPECT_EQ(query.substr(5, 2), "50");               // where the panel reads the size
  EXPECT_EQ(rx.Say("MXA70 RF0145500000"), "?\r\n");  // not yet usable
  EXPECT_EQ(rx.Say("MXA40 RF0145500000"), "\r\n");

  EXPECT_EQ(rx.Say("MWA90"), "");
  EXPECT_EQ(rx.Say("LM"), "");  // busy: the level waits too
  EXPECT_EQ(rx.Wait(2999), "");
  EXPECT_EQ(rx.Wait(1), "MWA 090\r\nLM 120\r\n");
  const std::string after = rx.Say("MWA");
  EXPECT_EQ(after.substr(5, 2), "90");
  EXPECT_EQ(rx.Say("MXA70 RF0145500000"), "\r\n");

  // Shrinking drops the channels past the new size.
  rx.Say("MWA20");
  EXPECT_EQ(rx.Wait(3000), "MWA 020\r\n");
  EXPECT_EQ(rx.Say("MRA40"), "?\r\n");
  rx.Say("MWA50");
  rx.Wait(3000);
  EXPECT_EQ(rx.Say("MRA40"), "MXA40 ---\r\n");
}

TEST_F(SimMemory, ScanHaltsReportsTheChannelWithTheLevelAndSkipsPassedChannels) {
  rx.Say("MXA00 RF0145200000 TMQUIET ONE");
  rx.Say("MXA01 RF0145500000 TMREPEATER");
  rx.Say("MXA03 RF0146000000 TMQUIET TWO");
  rx.Say("MXA04 RF0145500000 MP1 TMPASSED");
  EXPECT_EQ(rx.Say("MSA"), "\r\n");
  EXPECT_EQ(rx.engine.CurrentActivity(), Activity::kScan);
  EXPECT_EQ(rx.engine.CurrentChannel().number, 0);
  EXPECT_EQ(rx.Say("MSA"), "\r\n");  // sent twice: still one scan
  EXPECT_EQ(rx.engine.CurrentChannel().number, 0);
  EXPECT_EQ(rx.Say("LM").substr(0, 3), "LM%");

  rx.Wait(100);
  ASSERT_TRUE(rx.engine.Halted());
  const std::string report = "MXA01 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMREPEATER    ";
  EXPECT_EQ(rx.Say("LM"), report + "\r\nLM 120\r\n");
  EXPECT_EQ(rx.Say("RX"), "MS " + report + "\r\n");

  // The panel passes the channel: MR, MP1, then MS to go on.
  EXPECT_EQ(rx.Say("MR"), report + "\r\n");
  EXPECT_EQ(rx.engine.CurrentActivity(), Activity::kMemory);
  EXPECT_EQ(rx.Say("MP1"), "\r\n");
  EXPECT_EQ(rx.Say("MS"), "\r\n");
  EXPECT_EQ(rx.engine.CurrentActivity(), Activity::kScan);
  std::set<int> visited;
  for (int i = 0; i < 50; ++i) {
    rx.Wait(100);
    EXPECT_FALSE(rx.engine.Halted());
    visited.insert(rx.engine.CurrentChannel().number);
  }
  EXPECT_EQ(visited, (std::set<int>{0, 3}));  // empty and passed channels skipped
  EXPECT_EQ(rx.Say("LM").substr(0, 3), "LM%");

  EXPECT_EQ(rx.Say("MRA01"), "MXA01 MP1 RF0145500000 ST012500 AU0 MD1 AT0 TMREPEATER    \r\n");
  EXPECT_EQ(rx.Say("MP0"), "\r\n");
  EXPECT_EQ(rx.Say("MSA"), "\r\n");
  rx.Wait(100);
  EXPECT_TRUE(rx.engine.Halted());
  EXPECT_EQ(rx.Bytes("\x1E"), "");  // moves on at once
  EXPECT_FALSE(rx.engine.Halted());
  EXPECT_EQ(rx.engine.CurrentChannel().number, 3);

  EXPECT_EQ(rx.Say("MSB"), "?\r\n");  // nothing stored to scan
}

}  // namespace
}  // namespace voskel::sim
