#include <gtest/gtest.h>

#include "memory_banks.h"
#include "signals.h"

namespace voskel::sim {
namespace {

TEST(SimSignalsFile, ReadsLinesCommentsAndRhythmsAndReportsBadLines) {
  const auto parsed = ParseSignals(
      "# test band\r\n"
      "145.5 8 120\r\n"
      "\n"
      "  145.6, 10, 30, 2, 3   # comes and goes\n"
      "145.7 8\n"
      "abc 8 50\n"
      "145.9 8 300\n");
  ASSERT_EQ(parsed.list.Signals().size(), 2u);
  ASSERT_EQ(parsed.errors.size(), 3u);
  EXPECT_EQ(parsed.errors[0].substr(0, 7), "line 5:");
  EXPECT_EQ(parsed.errors[1].substr(0, 7), "line 6:");
  EXPECT_EQ(parsed.errors[2].substr(0, 7), "line 7:");

  const SignalList& list = parsed.list;
  EXPECT_EQ(list.LevelAt(145'500'000, 0, false), 120);
  EXPECT_EQ(list.LevelAt(145'504'000, 0, false), 120);  // inside the width
  EXPECT_LT(list.LevelAt(145'506'000, 0, false), kSquelchLevel);
  EXPECT_EQ(list.LevelAt(145'500'000, 0, true), 100);  // attenuated
  EXPECT_EQ(list.LevelAt(145'600'000, 1999, false), 30);
  EXPECT_LT(list.LevelAt(145'600'000, 2000, false), kSquelchLevel);
  EXPECT_LT(list.LevelAt(145'600'000, 4999, false), kSquelchLevel);
  EXPECT_EQ(list.LevelAt(145'600'000, 5000, false), 30);
}

TEST(SimSignalsFile, BuiltInBandHasSignalsInEachBand) {
  const SignalList band = BuiltInBand();
  auto anyOpen = [&](double lowMhz, double highMhz) {
    for (const Signal& s : band.Signals()) {
      if (s.mhz >= lowMhz && s.mhz <= highMhz &&
          band.LevelAt(static_cast<std::int64_t>(s.mhz * 1e6 + 0.5), 0, false) >= kSquelchLevel) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(anyOpen(88, 108));
  EXPECT_TRUE(anyOpen(118, 137));
  EXPECT_TRUE(anyOpen(145, 146));
  EXPECT_TRUE(anyOpen(430, 440));
}

TEST(SimMemoryFile, RoundTripsAndSkipsWhatItCannotRead) {
  MemoryBanks memory;
  memory.banks[1].size = 90;
  Channel& c = memory.banks[1].channels[75];
  c.stored = true;
  c.hz = 118'700'000;
  c.stepHz = 8'330;
  c.mode = 2;
  c.attenuator = true;
  c.passed = true;
  c.tag = FitTag("TWR \"N\" 1");
  memory.banks[9].channels[0] = {true, 2'999'999'999, 999'999, 8, false, false, FitTag("")};

  const std::string text = FormatMemoryFile(memory);
  EXPECT_NE(
      text.find("B75 118.700000 MHz step 8.330 kHz mode AM att on pass yes tag \"TWR \"N\" 1   \""),
      std::string::npos);
  const MemoryParse parsed = ParseMemoryFile(text);
  EXPECT_TRUE(parsed.errors.empty());
  for (int bank = 0; bank < kBankCount; ++bank) {
    EXPECT_EQ(parsed.memory.banks[bank].size, memory.banks[bank].size);
    for (int n = 0; n < kChannelsPerBank; ++n) {
      const Channel& a = memory.banks[bank].channels[n];
      const Channel& b = parsed.memory.banks[bank].channels[n];
      EXPECT_EQ(ChannelReport(bank, n, a), ChannelReport(bank, n, b));
    }
  }

  const MemoryParse edited = ParseMemoryFile(
      "bank C 10\r\n"
      "bank K 10\n"
      "C02 145.500000 MHz step 12.5 kHz mode FM att off pass no tag \"HAND EDIT\"\n"
      "C12 145.500000 MHz step 12.5 kHz mode FM att off pass no tag \"TOO FAR\"\n"
      "C03 145500000 MHz step 12.5 kHz mode FM att off pass no tag \"NO POINT\"\n"
      "C04 145.5 MHz step 12.5 kHz mode 1 att off pass no\n");
  EXPECT_EQ(edited.memory.banks[2].size, 10);
  EXPECT_EQ(ChannelReport(2, 2, edited.memory.banks[2].channels[2]),
            "MXC02 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMHAND EDIT   ");
  EXPECT_FALSE(edited.memory.banks[2].channels[12].stored);
  EXPECT_FALSE(edited.memory.banks[2].channels[3].stored);
  EXPECT_EQ(edited.errors.size(), 4u);
}

}  // namespace
}  // namespace voskel::sim
