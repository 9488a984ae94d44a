// The voice folder as the panel plays it: real clip files, the real SDL player on the
// dummy driver, virtual time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/sdl/sdl_sound.h"
#include "platform/sound_wav_writer.h"
#include "support/temp_dir.h"
#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_window.h"
#include "voice/clip_catalogue.h"
#include "voice/no_ports.h"
#include "voice/voice.h"

namespace voskel {
namespace {

namespace fs = std::filesystem;

constexpr int kSpeechMs = 40;

ClipTable ReadRealTable() {
  std::ifstream in(fs::path(VOSKEL_SOURCE_DIR) / "tools" / "voice-clips.txt");
  std::stringstream text;
  text << in.rdbuf();
  return ParseClipTable(text.str());
}

int LengthOf(const ClipEntry& clip) {
  return clip.kind == ClipEntry::Kind::Speech ? kSpeechMs : clip.lengthMs;
}

class VoiceSwitchTest : public ::testing::Test {
 protected:
  VoiceSwitchTest() : panel_(window_, sound_, speech_, ports_, clock_, scratch_.Path()) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fs::create_directories(scratch_.Path() / "wave");
    for (const ClipEntry& clip : table_.clips)
      testing::WriteWav(scratch_.Path() / "wave" / (clip.name + ".wav"), LengthOf(clip));
    panel_.state.FixedVoiceDir = kVoiceFolder;
  }

  ClipTable table_ = ReadRealTable();
  testing::TempDir scratch_{"voice-switch"};
  testing::FakeClock clock_;
  platform::SdlSound sound_{scratch_.Path(), clock_};
  testing::RecordingWindow window_;
  testing::FakeSpeech speech_;
  testing::NoPorts ports_;
  Panel panel_;
};

TEST_F(VoiceSwitchTest, VoiceOnPlaysEveryClipForItsLength) {
  ASSERT_TRUE(table_.errors.empty());
  panel_.state.VoiceDir = kVoiceFolder;
  for (const ClipEntry& clip : table_.clips) {
    const std::int64_t before = clock_.now;
    Speak(panel_, clip.name);
    EXPECT_EQ(clock_.now - before, LengthOf(clip)) << clip.name;
  }
}

TEST_F(VoiceSwitchTest, VoiceOffSilencesAllButThePauseAndTheWaitingBeep) {
  panel_.state.VoiceDir = "";
  for (const ClipEntry& clip : table_.clips) {
    Speak(panel_, clip.name);
    SpeakAsync(panel_, clip.name);
    EXPECT_TRUE(sound_.Sounding().empty()) << clip.name;
  }
  EXPECT_EQ(clock_.now, 0);

  // The greeting at start-up: silent, but its closing pause keeps its length.
  for (const char* clip : {"vsk", "4", "point", "1"}) Speak(panel_, clip);
  Pause(panel_);
  EXPECT_EQ(clock_.now, table_.Find("shdel")->lengthMs);

  SpeakFixed(panel_, "beep");
  EXPECT_EQ(clock_.now, table_.Find("shdel")->lengthMs + table_.Find("beep")->lengthMs);
}

}  // namespace
}  // namespace voskel
