#include "platform/espeak_speech.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace voskel::platform {
namespace {

std::vector<std::int16_t> Copy(std::span<const std::int16_t> samples) {
  return {samples.begin(), samples.end()};
}

int Peak(const std::vector<std::int16_t>& samples) {
  int peak = 0;
  for (const std::int16_t v : samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

TEST(EspeakSpeech, SpeaksATagShapedLikeTheClipsAndServesItAgainFromTheCache) {
  EspeakSpeech speech;
  ASSERT_TRUE(speech.Ready());
  const auto tag = Copy(speech.Synthesize("REPEATER"));
  const double ms = tag.size() * 1000.0 / kSamplesPerSecond;
  EXPECT_GT(ms, 250);
  EXPECT_LT(ms, 2000);
  // As the generator leaves a clip: no leading silence, a 20 ms silent tail, peak at -1 dB.
  EXPECT_GT(std::abs(static_cast<int>(tag.front())), 32767 * 5 / 1000);
  const std::size_t tail = kSamplesPerSecond / 50;
  EXPECT_TRUE(std::all_of(tag.end() - tail, tag.end(), [](std::int16_t v) { return v == 0; }));
  EXPECT_NEAR(Peak(tag), 0.891 * 32767, 40);

  EXPECT_EQ(Copy(speech.Synthesize("REPEATER")), tag);
  EXPECT_EQ(speech.SynthesisCount(), 1);
  EXPECT_EQ(speech.CacheHits(), 1);
}

TEST(EspeakSpeech, EveryByteIsALatin1CharacterAndControlsAreBlanks) {
  EspeakSpeech speech;
  // Only controls and blanks: nothing to say.
  EXPECT_TRUE(speech.Synthesize("\x01\x02 \x1b\x7f\x80\x9f\t").empty());
  EXPECT_TRUE(speech.Synthesize(" ").empty());
  EXPECT_EQ(speech.SynthesisCount(), 0);

  // A control is a blank (the second is the first's cache hit); the UTF-8 form of the same
  // tag is other Latin-1 characters, not the same word.
  const auto latin1 = Copy(speech.Synthesize("CAF\xC9 \x01NORD"));
  EXPECT_FALSE(latin1.empty());
  EXPECT_EQ(Copy(speech.Synthesize("CAF\xC9  NORD")), latin1);
  EXPECT_EQ(speech.CacheHits(), 1);
  EXPECT_NE(Copy(speech.Synthesize("CAF\xC3\x89  NORD")), latin1);

  // In UTF-8 these bytes are a Bengali digit, for which espeak-ng would switch language and
  // read freed memory (the sanitizer build sees that); as Latin-1 they stay in the voice's.
  EXPECT_FALSE(speech.Synthesize("\xE0\xA7\xA9").empty());
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_FALSE(speech.Synthesize(all).empty());
  EXPECT_FALSE(speech.Synthesize("\xE2\x82 \xF0\x9F\x98 \xED\xA0\x80 A").empty());
}

// The generator's variables, set for one test and put back afterwards.
class VoiceVariables : public ::testing::Test {
 protected:
  ~VoiceVariables() override {
    unsetenv("VOSKEL_VOICE");
    unsetenv("VOSKEL_VOICE_RATE");
  }
};

TEST_F(VoiceVariables, ChooseTheVoiceAndRateAsTheClipGeneratorDoes) {
  setenv("VOSKEL_VOICE", "", 1);  // set but empty: the default, as in the generator
  setenv("VOSKEL_VOICE_RATE", "fast", 1);
  EXPECT_EQ(SpeechVoiceFromEnvironment().name, "en-us");
  EXPECT_EQ(SpeechVoiceFromEnvironment().wordsPerMinute, 190);

  setenv("VOSKEL_VOICE", "en-gb", 1);
  setenv("VOSKEL_VOICE_RATE", "999999999999", 1);
  EXPECT_EQ(SpeechVoiceFromEnvironment().name, "en-gb");
  EXPECT_EQ(SpeechVoiceFromEnvironment().wordsPerMinute, 450);

  // The rate reaches the synthesizer, and a voice it does not know falls back to the default.
  EspeakSpeech slow({"no-such-voice", 80});
  EspeakSpeech quick({"en-us", 400});
  EXPECT_TRUE(slow.Ready());
  const std::size_t slowLength = slow.Synthesize("TOWER ONE").size();
  EXPECT_GT(slowLength, 2 * quick.Synthesize("TOWER ONE").size());
}

}  // namespace
}  // namespace voskel::platform
