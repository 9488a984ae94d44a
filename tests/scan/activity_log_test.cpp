// The activity log on the real path: the panel on the simulated receiver, whose signals come
// and go in a known rhythm, and the lines activity.csv gets for what it heard, idle and
// scanning; a panel killed mid-signal leaves whole lines only.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/activity_record.h"
#include "support/panel_harness.h"
#include "support/sim_peer.h"

namespace voskel {
namespace {

using Fields = std::vector<std::string>;

enum Column { kDate, kTime, kFrequency, kMode, kPeak, kSeconds, kChannel, kTag };

class ActivityLog : public ::testing::Test {
 protected:
  void Start(std::vector<sim::Signal> signals) {
    sim = std::make_unique<testing::SimPeer>(sim::SignalList(std::move(signals)));
    h.peer = sim->AsPeer();
    ASSERT_TRUE(h.Begin());
    h.Tick(3);
  }
  void Keys(std::string_view keys) {
    h.Type(keys);
    h.Settle();
  }
  // Every line after the header, split at its commas; a line that is not whole (no CR LF
  // at its end, or not eight fields) fails the test.
  std::vector<Fields> Lines() {
    const std::string log = h.ReadFile(kActivityFile);
    if (log.empty()) return {};
    EXPECT_TRUE(log.starts_with(kActivityHeader)) << log;
    EXPECT_TRUE(log.ends_with("\r\n")) << log;
    std::vector<Fields> lines;
    std::istringstream in(log.substr(kActivityHeader.size()));
    for (std::string line; std::getline(in, line);) {
      EXPECT_TRUE(line.ends_with("\r")) << line;
      line.pop_back();
      lines.push_back(Split(line));
      EXPECT_EQ(lines.back().size(), 8u) << line;
    }
    return lines;
  }
  static Fields Split(const std::string& line) {
    Fields fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '"' && quoted && line.substr(i, 2) == "\"\"")
        fields.back() += line[i++];
      else if (line[i] == '"')
        quoted = !quoted;
      else if (line[i] == ',' && !quoted)
        fields.emplace_back();
      else
        fields.back() += line[i];
    }
    return fields;
  }
  // The first line heard on the channel, ticking until there is one.
  Fields HeardOn(const std::string& channel) {
    for (int i = 0; i < 300; ++i, h.Tick())
      for (const Fields& line : Lines())
        if (line[kChannel] == channel) return line;
    return Fields{};
  }
  static double Seconds(const Fields& line) { return std::stod(line[kSeconds]); }

  testing::PanelHarness h;
  std::unique_ptr<testing::SimPeer> sim;
};

TEST_F(ActivityLog, EachTransmissionHeardIdleIsOneLineAsLongAsItAndAKillLeavesWholeLines) {
  Start({{145.5, 10, 120, 5, 7}});
  Keys("145.5\r");
  ASSERT_GT(h.clock.now, 5'000) << "the first transmission is over before the tuning";
  while (h.clock.now < 62'000) h.Tick();  // on the air since 60 s, till 65 s

  // The transmissions that began at 12, 24, 36 and 48 s, each heard within a poll (300 ms)
  // of its start and of its end.
  const std::vector<Fields> lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  for (const Fields& line : lines) {
    EXPECT_EQ(Fields(line.begin(), line.begin() + kSeconds),
              (Fields{"2026-12-05", "19:27:34", "145.500000", "FM", "120"}));
    EXPECT_NEAR(Seconds(line), 5.0, 0.35);
    EXPECT_EQ(Fields(line.begin() + kChannel, line.end()), (Fields{"", ""}));
  }
  // The transmission on the air now is not in the log: a kill here loses it whole and
  // leaves the lines before it as they are. Ended normally, it is written as far as it was
  // heard: to the receiver unplugged 2 s into it, not to the end of the run 18 s later.
  h.Unplug();
  while (h.clock.now < 80'000) h.Tick();
  h.Close();
  const std::vector<Fields> closed = Lines();
  ASSERT_EQ(closed.size(), lines.size() + 1);
  EXPECT_NEAR(Seconds(closed.back()), 2.0, 0.35);
}

TEST_F(ActivityLog, AScanHaltIsLoggedWithItsChannelAndTag) {
  Start({{145.6, 10, 90, 3, 3}});
  for (const char* channel : {"A00 RF0118700000 MD1", "A01 RF0145600000 MD1 TMTOWER"}) {
    sim->engine.Input(std::string("MX") + channel + "\r");
    sim->engine.TakeOutput();
  }
  h.WriteFile("bank07.dat",
              "bank07\r\nFM\r\n12.5\r\n \r\n118.7\r\nQUIET\r\n145.6\r\nA, \"B\"\r\n9999\r\n");
  Keys("GA\r");
  const Fields memory = HeardOn("A01");
  ASSERT_FALSE(memory.empty());
  EXPECT_EQ(memory[kFrequency], "145.600000");
  EXPECT_EQ(memory[kTag], "TOWER");
  // The receiver reports its channel instead of a level while its scan holds, and holds
  // until 2 s after the signal.
  EXPECT_EQ(memory[kPeak], "");
  EXPECT_NEAR(Seconds(memory), 5.0, 0.35);

  Keys("\rB07\rR");
  const Fields bank = HeardOn("07/1");
  ASSERT_FALSE(bank.empty());
  EXPECT_EQ(Fields(bank.begin() + kFrequency, bank.begin() + kSeconds),
            (Fields{"145.600000", "FM", "90"}));
  EXPECT_LE(Seconds(bank), 3.35);
  EXPECT_EQ(bank[kTag], "A, \"B\"");
}

}  // namespace
}  // namespace voskel
