// speech-dispatcher as the listener's voice, with Debian's own server as the peer: what it is
// given to say, a key cutting it short, and the clips taking over when it stops.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/speech_server.h"
#include "platform/virtual_keys.h"
#include "support/panel_harness.h"
#include "support/sim_peer.h"
#include "support/speechd_peer.h"
#include "voice/voice_settings.h"

namespace voskel {
namespace {

using testing::PanelHarness;
using Lines = std::vector<std::string>;

bool BuiltWithSpeechDispatcher() {
  std::string why;
  setenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/voskel-test", 1);
  platform::OpenSpeechDispatcher(why);
  unsetenv("SPEECHD_ADDRESS");
  return why.find("built without") == std::string::npos;
}

std::vector<std::string> Said(const Lines& record) {
  std::vector<std::string> said;
  for (const std::string& line : record)
    if (line.rfind("said ", 0) == 0) said.push_back(line.substr(5));
  return said;
}

int CountContaining(const Lines& lines, const std::string& part) {
  return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.find(part) != std::string::npos;
  }));
}


class SpeechDispatcher : public ::testing::Test {
 protected:
  void SetUp() override {
    // A server gone makes a write fail instead of ending the test program.
    signal(SIGPIPE, SIG_IGN);
    if (!BuiltWithSpeechDispatcher()) GTEST_SKIP() << "built without libspeechd";
    server = testing::SpeechdPeer::Start();
    if (!server) GTEST_SKIP() << "speech-dispatcher is not installed";
    setenv("SPEECHD_ADDRESS", server->Address().c_str(), 1);
    h = std::make_unique<PanelHarness>(testing::HarnessOptions{.openSpeechServer = platform::OpenSpeechDispatcher});
    h->peer = sim.AsPeer();
    ASSERT_TRUE(SaveVoiceSettings(h->dir(), {Voice::kSpeechDispatcher, Verbosity::kAsEver, false}));
    ASSERT_TRUE(h->Begin());
    for (int ticks = 0; ticks < 100 && h->state().ConnectState != ConnectState::kConnected; ++ticks)
      h->Tick();
    h->Settle();
  }
  void TearDown() override {
    h.reset();
    unsetenv("SPEECHD_ADDRESS");
  }
  void Keys(std::string_view typed) {
    h->Type(typed);
    h->Settle();
  }

  testing::SimPeer sim;
  std::unique_ptr<testing::SpeechdPeer> server;
  std::unique_ptr<PanelHarness> h;
};

TEST_F(SpeechDispatcher, EachMessageGoesToItInWordsAndNoWordClipIsPlayed) {
  ASSERT_TRUE(server->WaitFor([](const Lines& r) { return CountContaining(r, "said connected") > 0; }))
      << ::testing::PrintToString(server->Record());
  h->sound.Clear();
  Keys("145.5\r");
  // Any key cuts short what is still to be said: F8 waits for Enter's words.
  ASSERT_TRUE(server->WaitFor([](const Lines& r) { return CountContaining(r, "said O K") > 0; }))
      << ::testing::PrintToString(server->Record());
  h->Press(keys::kF8);
  h->Settle();
  ASSERT_TRUE(server->WaitFor([](const Lines& r) { return CountContaining(r, "said level two") > 0; }))
      << ::testing::PrintToString(server->Record());
  const std::vector<std::string> said = Said(server->Record());
  const std::vector<std::string> keys = {"one", "four", "five", "point", "five", "O K", "level two"};
  ASSERT_GE(said.size(), keys.size()) << ::testing::PrintToString(server->Record());
  EXPECT_EQ(std::vector<std::string>(said.end() - static_cast<std::ptrdiff_t>(keys.size()), said.end()), keys);
  // The clips play only the pauses that pace the receiver.
  EXPECT_TRUE(h->sound.Spoken().empty()) << ::testing::PrintToString(h->sound.Spoken());
  EXPECT_EQ(h->state().ReceiverFrequency, "145.5");
  EXPECT_EQ(h->transcript.lines.back().substr(9), "level 2") << "standard output as ever";
}

TEST_F(SpeechDispatcher, AKeyCutsALongMessageShort) {
  h->Press('H');
  h->Settle();
  ASSERT_TRUE(server->WaitFor([](const Lines& r) { return CountContaining(r, "said Voskel keys.") > 0; }))
      << ::testing::PrintToString(server->Record());
  h->Press('F');
  h->Settle();
  // The help takes five seconds to the peer when it is let be; F's words come long before.
  ASSERT_TRUE(server->WaitFor(
      [](const Lines& r) { return Said(r).back().rfind("Voskel keys", 0) != 0; },
      std::chrono::seconds(4)))
      << ::testing::PrintToString(server->Record());
  const Lines record = server->Record();
  const auto help = std::find_if(record.begin(), record.end(), [](const std::string& line) {
    return line.rfind("said Voskel keys.", 0) == 0;
  });
  const auto next = std::find_if(help + 1, record.end(), [](const std::string& line) {
    return line.rfind("said ", 0) == 0;
  });
  EXPECT_EQ(std::find(help, next, "done"), next) << "the help was said to its end: " << ::testing::PrintToString(record);
}

TEST_F(SpeechDispatcher, TheSignalToneWaitsWhileItSpeaks) {
  h->Press(keys::kF9);
  h->Settle();
  ASSERT_TRUE(server->WaitFor([](const Lines& r) { return CountContaining(r, "said signal tone on") > 0 && r.back() == "done"; }))
      << ::testing::PrintToString(server->Record());
  // The panel learns of the end by a notice of its own, a moment after the server's record.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (h->panel->speechServer->Speaking() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  h->sound.tones.clear();
  h->Tick(6);
  EXPECT_FALSE(h->sound.tones.empty()) << "a tone at each poll while nothing is said";
  h->Press('H');
  h->Settle();
  ASSERT_TRUE(server->WaitFor([](const Lines& r) { return CountContaining(r, "said Voskel keys.") > 0; }));
  h->sound.tones.clear();
  h->Tick(6);
  EXPECT_TRUE(h->sound.tones.empty()) << "none under the help being said";
}

TEST_F(SpeechDispatcher, TheClipsTakeOverWhenItStopsAndThatIsSaidOnce) {
  server->Stop();
  h->sound.Clear();
  Keys("F");
  Keys("145.5\r");
  EXPECT_EQ(CountContaining(h->transcript.lines, "speech-dispatcher stopped; the clips speak"), 1)
      << ::testing::PrintToString(h->transcript.lines);
  EXPECT_EQ(CountContaining(h->braille.shown, "speech-dispatcher stopped"), 1);
  const std::vector<std::string> clips = h->sound.Spoken();
  const std::vector<std::string> tail = {"1", "4", "5", "point", "5", "ok"};
  ASSERT_GE(clips.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(clips.end() - static_cast<std::ptrdiff_t>(tail.size()), clips.end()), tail);
  EXPECT_NE(std::find(clips.begin(), clips.end(), "fm.wav"), clips.end()) << "F's own words, not lost" << ::testing::PrintToString(clips);
  EXPECT_EQ(LoadVoiceSettings(h->dir()).voice, Voice::kSpeechDispatcher) << "the choice is kept";
}

// The keys of a listener, sent with speech-dispatcher as the voice and with the voice off:
// the receiver sees the same commands.
TEST_F(SpeechDispatcher, TheReceiverSeesTheSameCommandsAsWithTheVoiceOff) {
  const std::string script = "145.5\rAF146.05\rL";
  auto run = [&script](PanelHarness& one) {
    for (int ticks = 0; ticks < 100 && one.state().ConnectState != ConnectState::kConnected; ++ticks)
      one.Tick();
    one.Settle();
    one.ClearWire();
    for (const int key : testing::KeysOf(script)) {
      one.Press(key);
      one.Settle();
    }
    for (const int key : {keys::kDown, keys::kRight, keys::kPageUp, keys::kF1 + 1}) {
      one.Press(key);
      one.Settle();
    }
    return one.CommandsWithoutPolls();
  };
  const std::vector<std::string> withSpeech = run(*h);
  PanelHarness voiceOff(testing::HarnessOptions{.voiceSwitch = 0});
  testing::SimPeer offSim;
  voiceOff.peer = offSim.AsPeer();
  ASSERT_TRUE(voiceOff.Begin());
  EXPECT_EQ(withSpeech, run(voiceOff));
  EXPECT_GT(withSpeech.size(), 6u);
}

TEST(SpeechDispatcherAbsent, SaidOnceAtStartUpAndTheClipsSpeak) {
  setenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/voskel-test", 1);
  PanelHarness h(testing::HarnessOptions{.openSpeechServer = platform::OpenSpeechDispatcher});
  testing::SimPeer sim;
  h.peer = sim.AsPeer();
  ASSERT_TRUE(SaveVoiceSettings(h.dir(), {Voice::kSpeechDispatcher, Verbosity::kAsEver, false}));
  ASSERT_TRUE(h.Begin());
  h.Type("F");
  h.Settle();
  unsetenv("SPEECHD_ADDRESS");
  EXPECT_EQ(CountContaining(h.transcript.lines, "speech-dispatcher is not available"), 1)
      << ::testing::PrintToString(h.transcript.lines);
  const std::vector<std::string> clips = h.sound.Spoken();
  EXPECT_EQ(clips.front(), "vsk") << "the greeting, by its clips";
  EXPECT_NE(std::find(clips.begin(), clips.end(), "fm.wav"), clips.end());
  EXPECT_EQ(LoadVoiceSettings(h.dir()).voice, Voice::kSpeechDispatcher);
}

}  // namespace
}  // namespace voskel
