#include "app/panel_options.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "voice/voice_settings.h"

namespace voskel {
namespace {

TEST(PanelOptions, VoiceAndVerbosityAreReadOrNamedAsWrong) {
  struct Case {
    std::vector<std::string> args;
    CommandLine result;
    std::optional<Voice> voice;
    std::optional<Verbosity> verbosity;
  };
  const Case cases[] = {
      {{}, CommandLine::kRun, std::nullopt, std::nullopt},
      {{"--voice", "speech-dispatcher"}, CommandLine::kRun, Voice::kSpeechDispatcher, std::nullopt},
      {{"--voice=clips", "--verbosity=3"}, CommandLine::kRun, Voice::kClips, Verbosity::kSquelch},
      {{"--verbosity", "2", "--rigctl-port", "4532"}, CommandLine::kRun, std::nullopt, Verbosity::kWhereTo},
      {{"--voice", "espeak"}, CommandLine::kWrong, std::nullopt, std::nullopt},
      {{"--voice"}, CommandLine::kWrong, std::nullopt, std::nullopt},
      {{"--verbosity", "4"}, CommandLine::kWrong, std::nullopt, std::nullopt},
      {{"--verbosity=0"}, CommandLine::kWrong, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    PanelOptions options;
    std::string error;
    EXPECT_EQ(ReadCommandLine(c.args, options, error), c.result) << ::testing::PrintToString(c.args);
    if (c.result == CommandLine::kWrong) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(options.voice, c.voice);
    EXPECT_EQ(options.verbosity, c.verbosity);
  }
}

TEST(PanelOptions, AChosenVoiceIsKeptBesideWhatVoiceCfgHeld) {
  testing::TempDir dir("options");
  ASSERT_TRUE(SaveVoiceSettings(dir.Path(), {Voice::kClips, Verbosity::kSquelch, true}));
  PanelOptions options;
  options.voice = Voice::kSpeechDispatcher;
  ASSERT_TRUE(KeepChosenVoice(dir.Path(), options));
  EXPECT_EQ(LoadVoiceSettings(dir.Path()),
            (VoiceSettings{Voice::kSpeechDispatcher, Verbosity::kSquelch, true}));
  EXPECT_FALSE(KeepChosenVoice(dir.Path() / "absent", options)) << "said, not forgotten";
}

}  // namespace
}  // namespace voskel
