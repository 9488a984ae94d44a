// What the listener chose to hear, through the real panel: how much is said, the signal
// tone, and the keys that choose them, kept in voice.cfg.
#include "keys/listening.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/virtual_keys.h"
#include "support/panel_harness.h"
#include "support/sim_peer.h"
#include "trust/script.h"
#include "voice/message.h"
#include "voice/voice_settings.h"

namespace voskel {
namespace {

using testing::PanelHarness;

// The messages written since start-up, without their times.
std::vector<std::string> Messages(const PanelHarness& h) {
  std::vector<std::string> texts;
  for (const std::string& line : h.transcript.lines) texts.push_back(line.substr(line.find(' ') + 1));
  return texts;
}

// A frequency as the panel says and writes it: no trailing zeros after the point.
std::string Said(std::string frequency) {
  while (frequency.find('.') != std::string::npos && frequency.back() == '0') frequency.pop_back();
  if (!frequency.empty() && frequency.back() == '.') frequency += '0';
  return frequency;
}

// Start-up, then the receiver's first answer and its "connected".
void BeginConnected(PanelHarness& h) {
  ASSERT_TRUE(h.Begin());
  for (int ticks = 0; ticks < 100 && h.state().ConnectState != ConnectState::kConnected; ++ticks)
    h.Tick();
  ASSERT_EQ(h.state().ConnectState, ConnectState::kConnected);
  h.Settle();
}

int CountOf(const std::vector<std::string>& texts, const std::string& text) {
  return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

class Listening : public ::testing::Test {
 protected:
  void Start(Verbosity verbosity, bool tone = false) {
    h.peer = sim.AsPeer();
    ASSERT_TRUE(SaveVoiceSettings(h.dir(), {Voice::kClips, verbosity, tone}));
    BeginConnected(h);
  }
  // The keys, then long enough for the steps to be over.
  void Keys(const std::vector<int>& codes) {
    for (int code : codes) h.Press(code);
    h.Settle();
    h.Tick(8);
  }
  testing::SimPeer sim;
  PanelHarness h;
};

TEST_F(Listening, StepsAreFollowedByTheirFrequencyOnceAtVerbosityTwoOnly) {
  struct Case {
    Verbosity verbosity;
    std::vector<int> keys;
    int said;  // times the frequency reached is said on its own
  };
  const std::vector<Case> cases = {
      {Verbosity::kWhereTo, {'1', '4', keys::kDown}, 1},
      {Verbosity::kWhereTo, {keys::kDown, keys::kDown, keys::kDown}, 1},
      {Verbosity::kWhereTo, {keys::kRight, keys::kPageUp}, 1},
      {Verbosity::kSquelch, {keys::kLeft}, 1},
      {Verbosity::kAsEver, {'1', '4', keys::kDown}, 0},
      {Verbosity::kAsEver, {keys::kPageDown}, 0},
  };
  for (const Case& c : cases) {
    PanelHarness fresh;
    testing::SimPeer peer;
    fresh.peer = peer.AsPeer();
    ASSERT_TRUE(SaveVoiceSettings(fresh.dir(), {Voice::kClips, c.verbosity, false}));
    BeginConnected(fresh);
    const std::string before = fresh.state().ReceiverFrequency;
    const std::size_t from = fresh.transcript.lines.size();
    for (int code : c.keys) fresh.Press(code);
    fresh.Settle();
    // Still within half a second of the last step: nothing yet.
    const std::vector<std::string> early = Messages(fresh);
    const std::string reached = Said(fresh.state().ReceiverFrequency);
    EXPECT_NE(reached, Said(before));
    EXPECT_EQ(CountOf(early, reached), 0) << ::testing::PrintToString(early);
    fresh.Tick(8);
    std::vector<std::string> after = Messages(fresh);
    after.erase(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(from));
    EXPECT_EQ(CountOf(after, reached), c.said) << ::testing::PrintToString(after);
    if (c.said > 0) {
      EXPECT_EQ(after.back(), reached) << "said last, as a message of its own";
      EXPECT_EQ(fresh.sound.Spoken().back(), reached.substr(reached.size() - 1));
    }
  }
}

TEST_F(Listening, AnotherKeyBeforeTheStepsStopSaysOnlyItsOwn) {
  Start(Verbosity::kWhereTo);
  h.Press(keys::kUp);
  h.Settle();
  h.Press('F');  // the frequency and mode, said by F itself
  h.Settle();
  h.Tick(8);
  const std::vector<std::string> said = Messages(h);
  EXPECT_EQ(CountOf(said, Said(h.state().ReceiverFrequency)), 0) << ::testing::PrintToString(said);
}

TEST_F(Listening, F8AndF9ChooseInEveryEntryWithoutTouchingItAndAreKept) {
  Start(Verbosity::kAsEver);
  // Typed digits, a search limit, a bank entry: each goes on after the keys as before.
  h.Type("14");
  Keys({keys::kF8});
  EXPECT_EQ(Messages(h).back(), "level 2");
  h.Type("5.5\r");
  h.Settle();
  EXPECT_EQ(h.state().ReceiverFrequency, "145.5");
  EXPECT_EQ(Messages(h).back(), "145.5 ok");

  h.Type("S14");
  Keys({keys::kF9});
  EXPECT_EQ(Messages(h).back(), "tone on");
  h.Type("4\r");
  h.Settle();
  EXPECT_EQ(h.state().SearchLow, "144");

  h.Press('B');
  Keys({keys::kF8, keys::kF8});
  EXPECT_EQ(Messages(h).back(), "level 1") << "3, then round to 1";
  EXPECT_EQ(h.state().EntryMode, EntryMode::kBank);
  h.Press(keys::kEscape);
  h.Settle();

  EXPECT_EQ(LoadVoiceSettings(h.dir()), (VoiceSettings{Voice::kClips, Verbosity::kAsEver, true}));
  Keys({keys::kF8});
  ASSERT_TRUE(h.Restart());
  EXPECT_EQ(h.state().Verbosity, Verbosity::kWhereTo) << "kept even by a run that was killed";
  EXPECT_TRUE(h.state().SignalTone);
}

TEST(VoiceSettingsFile, ReadsWhatItWritesAndKeepsWhatItCannotRead) {
  const VoiceSettings chosen{Voice::kSpeechDispatcher, Verbosity::kSquelch, true};
  EXPECT_EQ(ReadVoiceSettings(VoiceSettingsText(chosen)), chosen);
  struct Case {
    const char* text;
    VoiceSettings read;
  };
  const VoiceSettings defaults;
  const Case cases[] = {
      {"", defaults},
      {"voice=speech-dispatcher\n", {Voice::kSpeechDispatcher, Verbosity::kAsEver, false}},
      {" verbosity = 3 \r\ntone=on\r", {Voice::kClips, Verbosity::kSquelch, true}},
      {"verbosity=4\nverbosity=0\nverbosity=22\n", defaults},
      {"voice=espeak\ntone=yes\nnonsense\n=\n", defaults},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadVoiceSettings(c.text), c.read) << c.text;
}

// A script plays the receiver's level replies.
class SignalTone : public ::testing::Test {
 protected:
  void SetUp() override {
    h.peer = [this](std::string_view in, std::int64_t) {
      std::string answers = testing::TakenAnswers(in, {"LM"});
      if (std::string(in).find("LM\r") != std::string::npos) answers += reply;
      return answers;
    };
  }
  void Begin(Verbosity verbosity, bool tone) {
    ASSERT_TRUE(SaveVoiceSettings(h.dir(), {Voice::kClips, verbosity, tone}));
    BeginConnected(h);
  }
  void Poll(const std::string& answer) {
    reply = answer;
    h.sound.tones.clear();
    h.Tick(3);
  }
  PanelHarness h;
  std::string reply = "LM%000\r\n";
};

TEST_F(SignalTone, ItsPitchFollowsTheMeterAtEachPoll) {
  Begin(Verbosity::kAsEver, true);
  std::vector<int> pitches;
  for (const char* level : {"LM%000\r\n", "LM 024\r\n", "LM 060\r\n", "LM 156\r\n", "LM 036\r\n"}) {
    Poll(level);
    ASSERT_EQ(h.sound.tones.size(), 1u) << level;
    pitches.push_back(h.sound.tones[0].hz);
  }
  EXPECT_EQ(pitches[0], SignalToneHz(0, true));
  EXPECT_LT(pitches[0], pitches[1]);
  EXPECT_LT(pitches[1], pitches[2]);
  EXPECT_LT(pitches[2], pitches[3]);
  EXPECT_GT(pitches[3], pitches[4]);
  EXPECT_EQ(pitches[2], SignalToneHz(5, false));

  h.Press(keys::kF9);
  h.Settle();
  Poll("LM 060\r\n");
  EXPECT_TRUE(h.sound.tones.empty()) << "F9 switched it off";
}

TEST_F(SignalTone, ClipsAndCommandsKeepTheirTimeWithTheToneOn) {
  // The same keys with the tone off and on: the same clips at the same virtual times, the
  // same commands.
  auto run = [](bool tone) {
    PanelHarness one;
    testing::SimPeer sim;
    one.peer = sim.AsPeer();
    EXPECT_TRUE(SaveVoiceSettings(one.dir(), {Voice::kClips, Verbosity::kAsEver, tone}));
    BeginConnected(one);
    std::vector<std::pair<std::string, std::int64_t>> clips;
    one.sound.onPlay = [&](const std::string& name) { clips.emplace_back(name, one.clock.now); };
    one.Type("145.5\rMF");
    one.Press(keys::kUp);
    one.Settle();
    return std::make_tuple(clips, one.CommandsWithoutPolls(), one.sound.tones.size());
  };
  const auto [clipsOff, commandsOff, tonesOff] = run(false);
  const auto [clipsOn, commandsOn, tonesOn] = run(true);
  EXPECT_EQ(tonesOff, 0u);
  EXPECT_GT(tonesOn, 0u);
  EXPECT_EQ(clipsOn, clipsOff);
  EXPECT_EQ(commandsOn, commandsOff);
}

TEST_F(SignalTone, VerbosityThreeSaysTheSquelchOpeningAndClosing) {
  for (Verbosity verbosity : {Verbosity::kWhereTo, Verbosity::kSquelch}) {
    PanelHarness fresh;
    std::string level = "LM%000\r\n";
    fresh.peer = [&level](std::string_view in, std::int64_t) {
      std::string answers = testing::TakenAnswers(in, {"LM"});
      if (std::string(in).find("LM\r") != std::string::npos) answers += level;
      return answers;
    };
    ASSERT_TRUE(SaveVoiceSettings(fresh.dir(), {Voice::kClips, verbosity, false}));
    BeginConnected(fresh);
    const std::size_t from = fresh.transcript.lines.size();
    level = "LM 060\r\n";
    fresh.Tick(6);
    level = "LM%000\r\n";
    fresh.Tick(6);
    std::vector<std::string> said = Messages(fresh);
    said.erase(said.begin(), said.begin() + static_cast<std::ptrdiff_t>(from));
    const std::vector<std::string> expected =
        verbosity == Verbosity::kSquelch ? std::vector<std::string>{"open", "closed"}
                                         : std::vector<std::string>{};
    EXPECT_EQ(said, expected) << static_cast<int>(verbosity);
  }
}

}  // namespace
// At level 2 every key says something, but those the help names as silent: keys without
// a command, and keys with nothing to act on at rest.
TEST_F(Listening, AtVerbosityTwoOnlyTheKeysTheHelpNamesAreSilent) {
  Start(Verbosity::kWhereTo);
  std::vector<int> all;
  for (int code = 'A'; code <= 'Z'; ++code)
    if (code != 'Q') all.push_back(code);
  for (int code : std::vector<int>{'0', '.', ' ', keys::kUp, keys::kDown, keys::kLeft, keys::kRight, keys::kPageUp,
                   keys::kPageDown, keys::kEscape, keys::kBack, keys::kEnter, keys::kF9})
    all.push_back(code);
  for (int f = 0; f < 8; ++f) all.push_back(keys::kF1 + f);
  std::string silent;
  for (int code : all) {
    h.sound.Clear();
    Keys({code});
    if (h.sound.Spoken().empty()) silent += trust::KeyName(code) + " ";
    Keys({keys::kEscape});
    Keys({keys::kEnter});
  }
  EXPECT_EQ(silent, "K U X Y Space Escape Backspace ");
}

}  // namespace voskel
