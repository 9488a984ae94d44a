// Channel tags spoken where they are drawn (stepping through a selected bank, a bank scan
// halting on a signal), on a whole panel whose receiver is a script answering level polls.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/espeak_speech.h"
#include "platform/virtual_keys.h"
#include "support/panel_harness.h"

namespace voskel {
namespace {

using testing::HarnessOptions;
using testing::PanelHarness;
using Clips = std::vector<std::string>;

std::string Bank(const std::vector<std::pair<std::string, std::string>>& channels) {
  std::string text = "bank01\r\nFM\r\n12.5\r\n \r\n";
  for (const auto& [frequency, tag] : channels) text += frequency + "\r\n" + tag + "\r\n";
  return text + "9999\r\n";
}

const std::string kThreeChannels = Bank({{"145.1", "TOWER 1"}, {"145.2", "ATIS"}, {"145.3", " "}});

class TaggedPanel {
 public:
  explicit TaggedPanel(HarnessOptions options = {}, const std::string& bank = kThreeChannels)
      : h(options) {
    h.peer = [this](std::string_view in, std::int64_t) {
      const std::string taken = testing::TakenAnswers(in, {"LM"});
      if (std::string(in).find("LM\r") == std::string::npos) return taken;
      return std::string(signal ? "LM 100\r\n" : "LM%000\r\n") + taken;
    };
    EXPECT_TRUE(h.Begin());
    h.Tick(3);
    EXPECT_EQ(h.state().ConnectState, ConnectState::kConnected);
    h.WriteFile("bank01.dat", bank);
    Keys("b01\r");
    EXPECT_EQ(h.state().BankState, BankState::kSelected);
  }

  // The clips spoken for the keys, pauses left out.
  Clips Keys(std::string_view keys) {
    h.sound.Clear();
    h.Type(keys);
    h.Settle();
    return h.sound.Spoken();
  }
  Clips Press(int key) {
    h.sound.Clear();
    h.Press(key);
    h.Settle();
    return h.sound.Spoken();
  }
  // One level poll (idle, "LM" out, its reply in) and what the scan watch said on it.
  Clips Poll(bool withSignal) {
    signal = withSignal;
    h.sound.Clear();
    h.Tick(3);
    return h.sound.Spoken();
  }

  PanelHarness h;
  bool signal = false;
};

TEST(TagSpeech, SteppingSpeaksEachTagAfterTuningItsChannelAndNothingForABlankOne) {
  TaggedPanel p;
  // Each tag heard, with the last tuning command on the line at that moment.
  std::vector<std::pair<std::string, std::string>> heard;
  p.h.sound.onPlay = [&](const std::string& name) {
    if (name.rfind("tag:", 0) != 0) return;
    std::string tuned;
    for (const std::string& command : p.h.Commands())
      if (command.rfind("VA", 0) == 0) tuned = command;
    heard.push_back({name, tuned});
  };

  EXPECT_EQ(p.Press(keys::kUp), Clips{"tag:ATIS"});
  EXPECT_EQ(p.Press(keys::kUp), Clips{}) << "the blank tag of the third channel";
  EXPECT_EQ(p.Press(keys::kUp), (Clips{"beep", "tag:TOWER 1"})) << "round to the first";
  EXPECT_EQ(p.Press(keys::kDown), Clips{});
  EXPECT_EQ(p.Press(keys::kDown), Clips{"tag:ATIS"});
  EXPECT_EQ(heard,
            (std::vector<std::pair<std::string, std::string>>{{"tag:ATIS", "VA0145.20000"},
                                                              {"tag:TOWER 1", "VA0145.10000"},
                                                              {"tag:ATIS", "VA0145.20000"}}));
  for (const auto& played : p.h.sound.played)
    EXPECT_TRUE(played.wait) << played.name << " is played to its end";
}

TEST(TagSpeech, BankScanHaltSpeaksTheHaltedChannelsTagOncePerHalt) {
  TaggedPanel p;
  p.h.state().BankState = BankState::kScanStarted;  // the scan as R starts it on a selected bank
  p.h.state().ChannelIndex = 4;
  EXPECT_EQ(p.Poll(false), Clips{"scan"});  // tunes the first channel
  EXPECT_EQ(p.Poll(false), Clips{});        // the second
  EXPECT_EQ(p.Poll(true), (Clips{"stop", "tag:ATIS"}));
  for (int held = 0; held < 3; ++held) EXPECT_EQ(p.Poll(true), Clips{}) << "signal held";
  EXPECT_EQ(p.h.window.TextAt(340, 370), "ATIS");

  EXPECT_EQ(p.Poll(false), Clips{"scan"});  // on to the third channel
  EXPECT_EQ(p.Poll(true), Clips{"stop"}) << "its tag is blank";
  EXPECT_EQ(p.Poll(false), Clips{"scan"});  // round to the first
  EXPECT_EQ(p.Poll(true), (Clips{"stop", "tag:TOWER 1"}));
}

TEST(TagSpeech, VSwitchesTagsOffAndOnAndEndsAStartedMemoryScanFirst) {
  TaggedPanel p;
  EXPECT_EQ(p.Keys("v"), (Clips{"tags", "off"}));
  EXPECT_EQ(p.Press(keys::kUp), Clips{});

  p.h.state().ScanState = ScanState::kStarted;
  EXPECT_EQ(p.Keys("v"), (Clips{"exitscan", "FM", "tags", "on"}));
  EXPECT_EQ(p.h.state().ScanState, ScanState::kOff);
  EXPECT_EQ(p.Press(keys::kDown), (Clips{"beep", "tag:TOWER 1"}));

  EXPECT_EQ(p.Keys("v"), (Clips{"tags", "off"}));
  p.h.state().BankState = BankState::kScanStarted;
  p.h.state().ChannelIndex = 4;
  EXPECT_EQ(p.Poll(false), Clips{"scan"});
  EXPECT_EQ(p.Poll(true), Clips{"stop"});
  EXPECT_EQ(p.Keys("v"), (Clips{"tags", "on"}));
  EXPECT_EQ(p.Poll(false), Clips{"scan"});
  EXPECT_EQ(p.Poll(true), (Clips{"stop", "tag:ATIS"}));
}

TEST(TagSpeech, VoiceSwitchOffSilencesTags) {
  TaggedPanel p({.voiceSwitch = 0});
  p.h.sound.Clear();
  p.h.Press(keys::kUp);
  p.h.Press(keys::kUp);
  p.h.Settle();
  p.h.state().BankState = BankState::kScanStarted;
  p.Poll(false);
  p.Poll(true);
  for (const auto& played : p.h.sound.played) EXPECT_NE(played.name.rfind("tag:", 0), 0u);
  EXPECT_TRUE(p.h.speech.asked.empty()) << "nothing is even synthesized";
}

// Control bytes never reach the synthesizer: a bank with one in a tag is refused as damaged.
TEST(TagSpeech, OddBytesInATagAreSpokenOrSkippedByTheRealSynthesizer) {
  platform::EspeakSpeech espeak;
  const std::string odd = "\xa0\xc9\xe9\xff\xc3\x28\xa0\xd7";
  ASSERT_EQ(odd.size(), 8u);
  TaggedPanel p({.speech = &espeak}, Bank({{"145.1", "ONE"}, {"145.2", odd}, {"145.3", "THREE"}}));
  const Clips onOdd = p.Press(keys::kUp);
  EXPECT_TRUE(onOdd.empty() || onOdd == Clips{"tag:" + odd});
  EXPECT_EQ(p.Press(keys::kUp), Clips{"tag:THREE"}) << "the panel goes on";
  EXPECT_EQ(p.h.state().Frequency, "145.3");
}

}  // namespace
}  // namespace voskel
