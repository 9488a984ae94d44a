#include "platform/sdl/sdl_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/sound_wav_writer.h"
#include "support/temp_dir.h"
#include "support/fake_clock.h"

namespace voskel::platform {
namespace {

namespace fs = std::filesystem;

// Puts SDL on a given audio driver for one test and back afterwards.
class AudioDriver {
 public:
  explicit AudioDriver(const char* name) {
    if (const char* old = std::getenv("SDL_AUDIODRIVER")) old_ = old;
    setenv("SDL_AUDIODRIVER", name, 1);
  }
  ~AudioDriver() {
    if (old_.empty())
      unsetenv("SDL_AUDIODRIVER");
    else
      setenv("SDL_AUDIODRIVER", old_.c_str(), 1);
  }

 private:
  std::string old_;
};

class SdlSoundTest : public ::testing::Test {
 protected:
  SdlSoundTest() {
    const fs::path wave = scratch_.Path() / "wave";
    fs::create_directories(wave);
    testing::WriteWav(wave / "help.wav", 2000);
    testing::WriteWav(wave / "fm.wav", 100);
    testing::WriteWav(wave / "OK.wav", 300);
    testing::WriteWav(wave / "stereo.wav", 250, 44100, 2);
    std::ofstream(wave / "broken.wav") << "RIFF but not really a wave file";
  }
  fs::path Clip(const char* file) const { return scratch_.Path() / "wave" / file; }

  testing::TempDir scratch_{"sound"};
  AudioDriver driver_{"dummy"};
  testing::FakeClock clock_;
};

TEST_F(SdlSoundTest, SyncPlayLastsTheClipsOwnDurationOnTheClock) {
  SdlSound sound(scratch_.Path(), clock_);
  sound.Play("wave\\ok", true);
  EXPECT_TRUE(sound.HasDevice());  // the dummy driver: samples really go out
  EXPECT_EQ(clock_.now, 300);
  EXPECT_TRUE(sound.Sounding().empty());

  sound.Play("wave\\stereo.wav", true);  // converted to the output format, same length
  EXPECT_EQ(clock_.now, 550);
  EXPECT_EQ(sound.CachedDurationMs(Clip("stereo.wav")), 250);
}

TEST_F(SdlSoundTest, NothingToPlayReturnsAtOnce) {
  SdlSound sound(scratch_.Path(), clock_);
  sound.Play("wave\\absent", true);
  sound.Play("ok", true);  // voice switched off: bare name, no clip beside the config
  sound.Play("wave\\broken", true);
  sound.Play("", true);
  EXPECT_EQ(clock_.now, 0);
  EXPECT_TRUE(sound.Sounding().empty());
  EXPECT_EQ(sound.CutCount(), 0);
}

TEST_F(SdlSoundTest, NextClipCutsAnAsyncClipOff) {
  SdlSound sound(scratch_.Path(), clock_);
  sound.Play("wave\\help", false);
  EXPECT_EQ(clock_.now, 0);
  EXPECT_EQ(sound.Sounding(), Clip("help.wav"));

  clock_.now += 500;
  sound.Play("wave\\FM", false);  // finds fm.wav
  EXPECT_EQ(sound.Sounding(), Clip("fm.wav"));
  EXPECT_EQ(sound.CutCount(), 1);

  sound.Play("", false);  // an empty name only stops
  EXPECT_TRUE(sound.Sounding().empty());
  EXPECT_EQ(sound.CutCount(), 2);

  sound.Play("wave\\help", false);
  sound.Play("wave\\absent", true);  // a missing clip still stops the one playing
  EXPECT_TRUE(sound.Sounding().empty());
  EXPECT_EQ(sound.CutCount(), 3);
  EXPECT_EQ(clock_.now, 500);
}

TEST_F(SdlSoundTest, AsyncClipThatHasEndedIsNotCut) {
  SdlSound sound(scratch_.Path(), clock_);
  sound.Play("wave\\help", false);
  clock_.now += 2000;
  EXPECT_TRUE(sound.Sounding().empty());
  sound.Play("wave\\fm", true);
  EXPECT_EQ(sound.CutCount(), 0);
  EXPECT_EQ(clock_.now, 2100);
}

TEST_F(SdlSoundTest, TheToneHoldsNothingUpAndGivesWayToEveryClip) {
  SdlSound sound(scratch_.Path(), clock_);
  sound.Tone(600, 250);
  EXPECT_EQ(clock_.now, 0);
  EXPECT_TRUE(sound.ToneSounding());
  sound.Tone(900, 250);  // the next poll's tone waits for none: it is simply not played

  // A clip starts at once, lasts its own length, and the tone goes.
  sound.Play("wave\\ok", true);
  EXPECT_EQ(clock_.now, 300);
  EXPECT_FALSE(sound.ToneSounding());
  EXPECT_EQ(sound.CutCount(), 0) << "a tone is no clip cut short";

  // Under a clip still sounding, no tone is played at all.
  sound.Play("wave\\help", false);
  sound.Tone(600, 250);
  EXPECT_FALSE(sound.ToneSounding());
  EXPECT_EQ(sound.Sounding(), Clip("help.wav"));
  clock_.now += 2000;
  sound.Tone(0, 250);  // no pitch, no tone
  EXPECT_FALSE(sound.ToneSounding());
  sound.Tone(600, 250);
  EXPECT_TRUE(sound.ToneSounding());
}

TEST_F(SdlSoundTest, EachFileIsDecodedOnce) {
  SdlSound sound(scratch_.Path(), clock_);
  sound.Play("wave\\fm", true);
  sound.Play("wave\\FM.wav", true);
  sound.Play("WAVE\\Fm", false);
  sound.Play("wave\\broken", true);
  sound.Play("wave\\broken", true);
  EXPECT_EQ(sound.DecodeCount(), 2);
  EXPECT_EQ(sound.CacheHits(), 3);
  EXPECT_EQ(clock_.now, 200);
}

TEST_F(SdlSoundTest, SpokenSamplesPlayLikeAClip) {
  SdlSound sound(scratch_.Path(), clock_);
  const std::vector<std::int16_t> tag(kSamplesPerSecond * 3 / 4, 1000);  // 750 ms
  sound.PlaySamples("TOWER 1", tag, true);
  EXPECT_EQ(clock_.now, 750);

  sound.Play("wave\\help", false);
  sound.PlaySamples("ATIS", tag, false);  // cuts the help text off, as any clip would
  EXPECT_EQ(sound.CutCount(), 1);
  EXPECT_EQ(sound.Sounding(), "tag:ATIS");
  sound.Play("wave\\ok", true);  // and is cut off by the next clip
  EXPECT_EQ(sound.CutCount(), 2);
  sound.PlaySamples("", {}, true);
  EXPECT_EQ(clock_.now, 1050);
}

TEST_F(SdlSoundTest, AStopRequestEndsASynchronousClipAtOnce) {
  bool stop = false;
  SdlSound sound(scratch_.Path(), clock_, [&stop] { return stop; });
  clock_.onSleep = [&](std::int64_t) { stop = clock_.now >= 500; };
  sound.Play("wave\\help", true);
  EXPECT_GE(clock_.now, 500);
  EXPECT_LT(clock_.now, 600) << "the 2 s clip ends at the first look after the request";
  EXPECT_TRUE(sound.Sounding().empty());
  sound.Play("wave\\help", true);
  sound.PlaySamples("TOWER 1", std::vector<std::int16_t>(kSamplesPerSecond, 1000), true);
  EXPECT_LT(clock_.now, 600) << "and what follows ends at once";
}

TEST(SdlSoundWithoutDevice, ClipsStillTakeTheirTime) {
  testing::TempDir scratch("sound-nodevice");
  fs::create_directories(scratch.Path() / "wave");
  testing::WriteWav(scratch.Path() / "wave" / "shdel.wav", 200);
  AudioDriver driver("no-such-driver");
  testing::FakeClock clock;
  SdlSound sound(scratch.Path(), clock);
  ::testing::internal::CaptureStderr();
  sound.Play("wave\\shdel", true);
  sound.Play("wave\\shdel", true);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said.rfind("voskel: no sound device (", 0), 0u) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "said once: " << said;
  EXPECT_EQ(clock.now, 400);
  sound.Play("wave\\shdel", false);
  EXPECT_EQ(sound.Sounding(), scratch.Path() / "wave" / "shdel.wav");
  sound.PlaySamples("TOWER 1", std::vector<std::int16_t>(kSamplesPerSecond / 2), true);
  EXPECT_EQ(clock.now, 900);
}

}  // namespace
}  // namespace voskel::platform
