// Key rules no run on the simulated receiver reaches: keys straight to dispatcher and intake.
#include <gtest/gtest.h>

#include "keys/handle_key.h"
#include "keys/poll_cycle.h"
#include "platform/virtual_keys.h"
#include "remote/remote_set.h"
#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"
#include "voice/no_ports.h"

namespace voskel {
namespace {

struct WrittenPorts : testing::NoPorts {  // a line that takes everything and never answers
  int WriteBytes(int, const char* bytes, int count) override {
    written.append(bytes, static_cast<std::size_t>(count));
    return count;
  }
  bool IsOpen(int) const override { return true; }
  std::string written;
};

struct WaitingSets : RemoteControl {  // a network client whose set always waits
  void Wait(Panel&, std::int64_t) override {}
  void Serve(Panel&) override {}
  bool HasSets() const override { return true; }
  void RunSets(Panel&) override { ++runs; }
  int runs = 0;
};

class KeysAlone : public ::testing::Test {
 protected:
  void SetUp() override {
    panel.state.VoiceDir = "wave\\";
    panel.state.Frequency = panel.state.ReceiverFrequency = "145.0000";
    panel.remote = &remote;
  }
  testing::TempDir dir;  // what the ticks store
  testing::FakeClock clock;
  testing::RecordingSound sound{&clock};
  testing::RecordingWindow window;
  testing::FakeSpeech speech;
  WrittenPorts ports;
  WaitingSets remote;
  Panel panel{window, sound, speech, ports, clock, dir.Path()};
};

// The arrows step through a selected bank; Left and Right never do, nor tune beside it.
TEST_F(KeysAlone, LeftAndRightAreRefusedWithABankSelected) {
  panel.state.BankState = BankState::kSelected;
  for (const KeyCode key : {keys::kLeft, keys::kRight}) HandleKey(panel, key);
  EXPECT_EQ(sound.Spoken(), (std::vector<std::string>{"inv", "inv"}));
  EXPECT_EQ(ports.written, "");
}

// The listener's keys go first: a client's set, and the spoken news of one, wait for them.
TEST_F(KeysAlone, NetworkSetsWaitForTheKeysQueued) {
  OnPanelEvent(panel, {platform::Event::Kind::KeyDown, 'J'});
  TakeRemoteSets(panel);
  PollCycle(panel);
  EXPECT_EQ(remote.runs, 0);
  EXPECT_EQ(panel.state.KeyCount, 1) << "the key was taken, its reply marker waits";
  SetAnnouncer announcer;
  announcer.Changed(panel, {rigctl::SetRequest::Kind::kFrequency, 145'000'000, ""});
  sound.Clear();
  announcer.SpeakDue(panel);
  EXPECT_TRUE(sound.Spoken().empty());
  PollCycle(panel);
  TakeRemoteSets(panel);
  EXPECT_EQ(remote.runs, 1);
  announcer.SpeakDue(panel);
  EXPECT_EQ(sound.Spoken(), std::vector<std::string>{"tag:145"});
}

}  // namespace
}  // namespace voskel
