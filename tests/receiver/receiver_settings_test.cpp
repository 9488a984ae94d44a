#include "receiver/receiver_settings.h"

#include <gtest/gtest.h>

#include "support/panel_harness.h"

namespace voskel {
namespace {

using testing::PanelHarness;

class ReceiverSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    // A receiver that takes every command, so that what is sent and said can be read.
    h.peer = [](std::string_view in, std::int64_t) { return testing::TakenAnswers(in, {}); };
    ASSERT_TRUE(h.Begin());
    h.ClearWire();
    h.sound.Clear();
  }
  std::string Tune(const std::string& text) {
    h.state().Frequency = text;
    SetFrequency(*h.panel, text);
    return h.Commands().back();
  }
  std::string Step(const std::string& text) {
    h.state().StepText = text;
    SetStep(*h.panel);
    return h.Commands().back();
  }
  std::int64_t Hz(const std::string& text) { return MhzTextToHz(text); }
  std::string Text(std::int64_t hz) { return HzToMhzText(hz); }
  PanelHarness h;
};

TEST_F(ReceiverSettings, FrequencyCommandsHaveTheirFixedWidth) {
  EXPECT_EQ(Tune("145.5"), "VA0145.50000");
  EXPECT_EQ(Tune("145"), "VA0145000000");
  EXPECT_EQ(h.state().Frequency, "145.0") << "a tuned frequency always holds a point";
  EXPECT_EQ(Tune("1.8"), "VA0001.80000");
  EXPECT_EQ(Tune("0.5"), "VA0000.50000");
  EXPECT_EQ(Tune(".5"), "VA000.500000");
  EXPECT_EQ(Tune("1.23456"), "VA0001.234560");
  EXPECT_EQ(Tune("1296.25"), "VA1296.25000");
  EXPECT_EQ(Tune(""), "VA0000000000");
  SetFrequencyB(*h.panel, "430");
  EXPECT_EQ(h.Commands().back(), "VB0430000000");
}

TEST_F(ReceiverSettings, StepCommandsHaveTheirFixedWidth) {
  EXPECT_EQ(Step("12.5"), "ST012.50");
  EXPECT_EQ(Step("5"), "ST005000");
  EXPECT_EQ(Step("100"), "ST100000");
  EXPECT_EQ(Step("6.25"), "ST006.25");
}

TEST_F(ReceiverSettings, HzConversionsRoundTrip) {
  EXPECT_EQ(Hz("145.5125"), 145512500);
  EXPECT_EQ(Hz("145."), 145000000);
  EXPECT_EQ(Hz(".5"), 500000);
  EXPECT_EQ(Hz("145.1234567"), 145123456) << "the seventh place adds nothing";
  EXPECT_EQ(Hz("145"), 145000000) << "a text without a point is whole MHz";
  EXPECT_EQ(Hz("2999.9999"), 2999999900) << "past 2147 MHz needs 64 bits";
  EXPECT_EQ(Text(145512500), "145.5125");
  EXPECT_EQ(Text(145000000), "145.");
  EXPECT_EQ(Text(500000), ".5");
  EXPECT_EQ(Text(50000), ".05");
  EXPECT_EQ(Text(2147483648), "2147.483648");
  EXPECT_EQ(Text(Hz("145.50")), "145.5");
  EXPECT_EQ(Text(Hz("145.0")), "145.");
}

TEST_F(ReceiverSettings, SteppingMovesTheFrequencyAndRefusesBelowZero) {
  h.state().Frequency = "145.5";
  StepFrequency(*h.panel, 1000);
  EXPECT_EQ(h.state().Frequency, "145.501");
  EXPECT_EQ(h.Commands().back(), "VA0145.50100");
  h.state().Frequency = "145.5";
  StepFrequency(*h.panel, -100);
  EXPECT_EQ(h.state().Frequency, "145.4999");
  h.state().Frequency = "2147.483";
  StepFrequency(*h.panel, 1000);
  EXPECT_EQ(h.state().Frequency, "2147.484");
  EXPECT_EQ(h.Commands().back(), "VA2147.48400");
  h.state().Frequency = ".0005";
  const auto sent = h.Commands().size();
  StepFrequency(*h.panel, -1000);
  EXPECT_EQ(h.state().Frequency, ".0005") << "left as it was";
  EXPECT_EQ(h.Commands().size(), sent);
  EXPECT_EQ(h.sound.Spoken().back(), "inv");
}

TEST_F(ReceiverSettings, ShowFrequencyPadsOnThePanelOnly) {
  h.state().Frequency = "145.5";
  ShowFrequency(*h.panel);
  EXPECT_EQ(h.window.LineAt(150), "145.5000");
  EXPECT_EQ(h.state().Frequency, "145.5");
  const auto* print = h.window.LastPrintContaining("145.5");
  ASSERT_NE(print, nullptr);
  EXPECT_EQ(print->colour, platform::kBlue);
  EXPECT_EQ(print->font, (platform::Font{"Ariel", 50, 700}));
  h.state().Frequency = "1296.2500";
  ShowFrequency(*h.panel);
  EXPECT_EQ(h.window.LineAt(150), "1296.2500") << "the longer text leaves nothing behind";
  EXPECT_FALSE(h.state().FreshEntry) << "drawing touches no entry being typed";
}

TEST_F(ReceiverSettings, ModesAttenuatorAndNoiseLimiter) {
  h.state().ModeName = "CW ";
  ApplyMode(*h.panel);
  EXPECT_EQ(h.Commands().back(), "MD5");
  EXPECT_EQ(h.sound.Spoken().back(), "cw");
  EXPECT_EQ(h.window.TextAt(380, 80), "CW");
  h.ClearWire();
  h.state().ModeName = "CW";
  ApplyMode(*h.panel);
  EXPECT_TRUE(h.Commands().empty()) << "a mode word it does not know sends nothing";
  ToggleAttenuator(*h.panel);
  ToggleAttenuator(*h.panel);
  ToggleNoiseLimiter(*h.panel);
  EXPECT_EQ(h.Commands(), (std::vector<std::string>{"AT1", "AT0", "NL1"}));
  const auto spoken = h.sound.Spoken();
  EXPECT_EQ(std::vector<std::string>(spoken.end() - 4, spoken.end()),
            (std::vector<std::string>{"atton", "attoff", "noise", "on"}));
}

TEST_F(ReceiverSettings, SignalLevelIsSpokenAsSUnits) {
  for (auto [level, expected] : std::vector<std::pair<int, std::vector<std::string>>>{
           {0, {"s", "0"}}, {7, {"s", "7"}}, {12, {"s", "9", "plus"}}}) {
    h.sound.Clear();
    h.state().SignalLevel = level;
    SpeakSignalLevel(*h.panel);
    EXPECT_EQ(h.sound.Spoken(), expected) << level;
  }
}

}  // namespace
}  // namespace voskel
