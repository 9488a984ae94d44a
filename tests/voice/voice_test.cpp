#include "voice/voice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"
#include "voice/no_ports.h"

namespace voskel {
namespace {

class VoiceTest : public ::testing::Test {
 protected:
  VoiceTest() : panel_(window_, sound_, speech_, ports_, clock_, ".") {
    panel_.state.VoiceDir = kVoiceFolder;
    panel_.state.FixedVoiceDir = kVoiceFolder;
  }
  std::vector<std::string> Heard() const {
    std::vector<std::string> names;
    for (const testing::Played& p : sound_.played) {
      EXPECT_TRUE(p.wait) << p.name;
      EXPECT_EQ(p.name.rfind(kVoiceFolder, 0), 0u) << p.name;
      names.push_back(p.name.substr(std::string(kVoiceFolder).size()));
    }
    return names;
  }
  using Names = std::vector<std::string>;

  testing::FakeClock clock_;
  testing::RecordingSound sound_{&clock_};
  testing::RecordingWindow window_;
  testing::FakeSpeech speech_;
  testing::NoPorts ports_;
  Panel panel_;
};

TEST_F(VoiceTest, SpeakNumberSaysDigitsAndPointAfterTrimmingZeros) {
  struct Case {
    const char* text;
    Names heard;
    const char* left;
  };
  const Case cases[] = {
      {"145.500000", {"1", "4", "5", "point", "5"}, "145.5"},
      {"145.", {"1", "4", "5", "point", "0"}, "145.0"},
      {"145.000", {"1", "4", "5", "point", "0"}, "145.0"},
      {"12.5", {"1", "2", "point", "5"}, "12.5"},
      {"150", {"1", "5", "0"}, "150"},  // no point: trailing zeros are the number's own
      {"", {}, ""},
  };
  for (const Case& c : cases) {
    sound_.Clear();
    SpeakNumber(panel_, c.text);
    EXPECT_EQ(Heard(), c.heard) << c.text;
    EXPECT_EQ(SpokenNumber(c.text), c.left) << c.text;
  }
}

TEST_F(VoiceTest, MovingSearchIsAnnouncedBeforeTheNumber) {
  panel_.state.SearchActive = SearchActive::kMoving;
  SpeakNumber(panel_, "145.5");
  EXPECT_EQ(Heard(), (Names{"srching", "1", "4", "5", "point", "5"}));
  EXPECT_EQ(SpokenNumber("145.5"), "145.5");

  sound_.Clear();
  panel_.state.SearchActive = SearchActive::kHalted;  // halted on a hit: no longer searching
  SpeakNumber(panel_, "145.000");
  EXPECT_EQ(Heard(), (Names{"1", "4", "5", "point", "0"}));
  EXPECT_EQ(SpokenNumber("145.000"), "145.0");
}

TEST_F(VoiceTest, SpeakModeSaysTheClipOfAnExactModeText) {
  const std::pair<const char*, Names> rows[] = {
      {"WFM", {"wfm.wav"}},
      {"FM", {"fm.wav"}},
      {"AM", {"am.wav"}},
      {"USB", {"usb.wav"}},
      {"LSB", {"lsb.wav"}},
      {"CW ", {"cw.wav"}},
      {"AUT", {"auto"}},
      {"ATT ON", {"atton.wav"}},
      {"ATT OFF", {"attoff.wav"}},
      {"CW", {}},  // as a memory-scan start reads it back: not announced
      {"fm", {}},
      {"", {}},
      {"ATT", {}},
  };
  for (const auto& [mode, heard] : rows) {
    sound_.Clear();
    panel_.state.ModeName = mode;
    SpeakMode(panel_);
    EXPECT_EQ(Heard(), heard) << '"' << mode << '"';
    EXPECT_EQ(panel_.state.ModeName, mode);
  }
}

TEST_F(VoiceTest, CountsAreSpokenAsTensAndUnits) {
  const std::pair<int, Names> counts[] = {
      {0, {"0"}}, {7, {"7"}}, {10, {"1", "0"}}, {42, {"4", "2"}}, {99, {"9", "9"}}};
  for (const auto& [count, heard] : counts) {
    sound_.Clear();
    SpeakCount(panel_, count);
    EXPECT_EQ(Heard(), heard) << count;
  }
}

TEST_F(VoiceTest, PauseAndFixedClipsUseTheFixedFolderEvenWithTheVoiceOff) {
  panel_.state.VoiceDir = "";
  Speak(panel_, "ok");
  SpeakAsync(panel_, "help");
  Pause(panel_);
  SpeakFixed(panel_, "beep");
  ASSERT_EQ(sound_.played.size(), 4u);
  EXPECT_EQ(sound_.played[0].name, "ok");
  EXPECT_TRUE(sound_.played[0].wait);
  EXPECT_EQ(sound_.played[1].name, "help");
  EXPECT_FALSE(sound_.played[1].wait);
  EXPECT_EQ(sound_.played[2].name, "wave\\shdel");
  EXPECT_EQ(sound_.played[3].name, "wave\\beep");
}

}  // namespace
}  // namespace voskel
