#include "voice/voice.h"

#include <string>

#include "core/text.h"
#include "voice/message.h"

namespace voskel {
namespace {

// Every clip goes into the message by its name, heard or not: with the voice switch at 0
// the folder is empty and nothing is heard, but the message is still written.
void Say(Panel& panel, const std::string& folder, std::string_view clip, bool wait) {
  const std::string fullName = folder + std::string(clip);
  PlayClip(panel, fullName, wait);
  AddClipToMessage(panel, fullName, clip, wait);
}

// Once the run has ended (RunFlag off), what shutdown says goes on: the sound already
// returns at once.
void StopIfAsked(Panel& panel) {
  if (panel.state.RunFlag && panel.window.StopRequested()) throw RunStopped{};
}

}  // namespace

void Speak(Panel& panel, std::string_view clip) {
  Say(panel, panel.state.VoiceDir, clip, true);
}

void SpeakAsync(Panel& panel, std::string_view clip) {
  Say(panel, panel.state.VoiceDir, clip, false);
}

void SpeakFixed(Panel& panel, std::string_view clip) {
  Say(panel, panel.state.FixedVoiceDir, clip, true);
}

void Pause(Panel& panel) {
  SpeakFixed(panel, "shdel");
}

void SpeakNumber(Panel& panel) {
  auto& s = panel.state;
  if (s.SearchActive == SearchActive::kMoving) Speak(panel, "srching");
  if (s.TuneText.find('.') != std::string::npos) {
    while (!s.TuneText.empty() && s.TuneText.back() == '0') s.TuneText.pop_back();
    if (!s.TuneText.empty() && s.TuneText.back() == '.') s.TuneText += '0';
  }
  for (char c : s.TuneText) SpeakDigit(panel, c);
}

void SpeakMode(Panel& panel) {
  struct Row {
    const char* mode;
    const char* clip;
  };
  static constexpr Row kRows[] = {
      {"WFM", "wfm.wav"}, {"FM", "fm.wav"},        {"AM", "am.wav"},
      {"USB", "usb.wav"}, {"LSB", "lsb.wav"},      {"CW ", "cw.wav"},
      {"AUT", "auto"},    {"ATT ON", "atton.wav"}, {"ATT OFF", "attoff.wav"},
  };
  auto& s = panel.state;
  s.TuneText = s.ModeName;
  for (const Row& row : kRows)
    if (s.TuneText == row.mode) Speak(panel, row.clip);
}

void SpeakCount(Panel& panel, int count) {
  if (count < 0) count = 0;
  if (count > 99) count = 99;
  // A count is a number of its own: never one with a frequency said beside it.
  EndNumber(panel);
  if (count >= 10) SpeakDigit(panel, static_cast<char>('0' + count / 10));
  SpeakDigit(panel, static_cast<char>('0' + count % 10));
  EndNumber(panel);
}

void SpeakDigit(Panel& panel, char c) {
  Speak(panel, c == '.' ? std::string("point") : std::string(1, c));
}

void SpeakTag(Panel& panel, std::string_view tag) {
  const auto& s = panel.state;
  if (!s.TagVoice) return;
  if (tag.find_first_not_of(" \t") == std::string_view::npos) return;
  AddTagToMessage(panel, tag);
  PlayTag(panel, tag, true);
}

void PlayClip(Panel& panel, const std::string& fullName, bool wait) {
  panel.sound.Play(fullName, wait);
  if (wait) StopIfAsked(panel);
}

void PlayTag(Panel& panel, std::string_view tag, bool wait) {
  const auto& s = panel.state;
  // An empty voice folder is how the voice switch silences every clip; tags follow it.
  if (!s.TagVoice || s.VoiceDir.empty()) return;
  panel.sound.PlaySamples(tag, panel.speech.Synthesize(tag), wait);
  if (wait) StopIfAsked(panel);
}

}  // namespace voskel
