#include "voice/message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_braille.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"
#include "voice/no_ports.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// Clips said through the voice as the panel says them, and the message they write: what
// the braille display shows and standard output gets, with the voice on and off alike.
TEST(Message, ClipsAreWrittenAsAPersonWouldWriteThem) {
  struct Case {
    std::vector<std::string> said;  // "tag:TEXT" a tag, "fixed:" from the fixed folder
    const char* written;
  };
  const Case cases[] = {
      {{"vsk", "4", "point", "1", "fixed:shdel"}, "Voskel 4.1"},
      {{"1", "4", "5", "point", "5", "fixed:shdel", "ok"}, "145.5 ok"},
      {{"1", "4", "cancel"}, "14 cancel"},
      {{"srch", "act", "1", "2"}, "search active 12"},             // a count
      {{"1", "4", "5", "fixed:shdel", "1", "4", "6"}, "145 146"},  // a pause parts numbers
      {{"s", "9", "plus"}, "S 9 plus"},
      {{"write", "fromb", "0", "1", "torb", "C"}, "write from bank 01 to radio bank C"},
      {{"fm.wav", "WFM", "usb.wav", "auto"}, "FM WFM USB auto mode"},
      {{"fixed:beep", "tag:  TOWER 1 ", "tag:   "}, "TOWER 1"},
      {{"tag:CAF\xC9"}, "CAF\xC3\x89"},  // a Latin-1 tag, written in UTF-8
      {{"rnc"}, "receiver not connected"},
      {{"bnf", "beep"}, "bank not found"},
  };
  for (const bool voiceOn : {true, false}) {
    testing::FakeClock clock;
    testing::RecordingSound sound{&clock};
    testing::RecordingWindow window;
    testing::FakeSpeech speech;
    testing::NoPorts ports;
    testing::RecordingBraille braille;
    testing::RecordingTranscript transcript;
    Panel panel(window, sound, speech, ports, clock, ".", braille, transcript);
    panel.state.VoiceDir = voiceOn ? kVoiceFolder : "";
    panel.state.FixedVoiceDir = kVoiceFolder;
    for (const Case& c : cases) {
      for (const std::string& clip : c.said) {
        if (clip.starts_with("tag:"))
          SpeakTag(panel, clip.substr(4));
        else if (clip.starts_with("fixed:"))
          SpeakFixed(panel, clip.substr(6));
        else
          Speak(panel, clip);
      }
      FinishMessage(panel);
      ASSERT_FALSE(transcript.lines.empty()) << c.written;
      EXPECT_EQ(transcript.lines.back(), std::string("19:27:34 ") + c.written) << voiceOn;
      EXPECT_EQ(braille.shown.back(), c.written) << voiceOn;
    }
    EXPECT_EQ(transcript.lines.size(), std::size(cases));
    // Pauses and tones alone make no message.
    SpeakFixed(panel, "shdel");
    Speak(panel, "beep");
    FinishMessage(panel);
    EXPECT_EQ(transcript.lines.size(), std::size(cases));
  }
}

}  // namespace
}  // namespace voskel
