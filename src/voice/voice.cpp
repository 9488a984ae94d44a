#include "voice/voice.h"

#include <string>
#include <utility>

#include "core/receiver_mode.h"
#include "core/text.h"
#include "platform/latin1_text.h"
#include "voice/message.h"

namespace voskel {
namespace {

// Once the run has ended (RunFlag off), what shutdown says goes on: the sound already
// returns at once.
void StopIfAsked(Panel& panel) {
  if (panel.state.RunFlag && panel.window.StopRequested()) throw RunStopped{};
}

// Every clip goes into the message by its name, heard or not: with the voice switch at 0
// the folder is empty and nothing is heard, but the message is still written. The fixed
// folder's clips pace the exchanges with the receiver, whoever speaks the words.
void Say(Panel& panel, const std::string& folder, std::string_view clip, bool wait,
         bool fixed = false) {
  const std::string fullName = folder + std::string(clip);
  if (fixed) {
    if (wait) SayWaitingWords(panel);
    panel.sound.Play(fullName, wait);
    if (wait) StopIfAsked(panel);
  } else {
    PlayClip(panel, fullName, wait);
  }
  AddClipToMessage(panel, fullName, clip, wait);
}

// The clip's name without the voice folder the message keeps it under.
std::string_view ClipName(const Panel& panel, std::string_view fullName) {
  const std::string& folder = panel.state.VoiceDir;
  if (fullName.substr(0, folder.size()) == folder) fullName.remove_prefix(folder.size());
  return fullName;
}

void QueueWords(Panel& panel, SpokenPart part) {
  panel.messages.unsaid.push_back(std::move(part));
}

// speech-dispatcher went away: the listener is told once, apart from any message, and what
// it was to say is said by the clips, as is everything after.
void LoseSpeechServer(Panel& panel) {
  panel.speechServer.reset();
  const std::string notice = "speech-dispatcher stopped; the clips speak";
  panel.braille.Show(notice);
  panel.transcript.WriteLine(panel.clock.LocalTime() + " " + notice);
  for (const SpokenPart& part : std::exchange(panel.messages.unsaid, {})) {
    if (!part.clip.empty())
      PlayClip(panel, part.clip, part.wait);
    else
      PlayTag(panel, part.tag, part.wait);
  }
}


}  // namespace

void Speak(Panel& panel, std::string_view clip) {
  Say(panel, panel.state.VoiceDir, clip, true);
}

void SpeakAsync(Panel& panel, std::string_view clip) {
  Say(panel, panel.state.VoiceDir, clip, false);
}

void SpeakFixed(Panel& panel, std::string_view clip) {
  Say(panel, panel.state.FixedVoiceDir, clip, true, true);
}

void Pause(Panel& panel) {
  SpeakFixed(panel, "shdel");
}

std::string SpokenNumber(std::string_view number) {
  std::string spoken(number);
  if (spoken.find('.') != std::string::npos) {
    while (!spoken.empty() && spoken.back() == '0') spoken.pop_back();
    if (!spoken.empty() && spoken.back() == '.') spoken += '0';
  }
  return spoken;
}

void SpeakNumber(Panel& panel, std::string_view number) {
  const std::string spoken = SpokenNumber(number);
  if (panel.state.SearchActive == SearchActive::kMoving) Speak(panel, "srching");
  for (char c : spoken) SpeakDigit(panel, c);
}

void SpeakWhereTo(Panel& panel, const std::string& frequency) {
  auto& s = panel.state;
  if (s.Verbosity < Verbosity::kWhereTo || frequency.empty()) return;
  const SearchActive search = std::exchange(s.SearchActive, SearchActive::kOff);
  EndNumber(panel);
  SpeakNumber(panel, frequency);
  EndNumber(panel);
  s.SearchActive = search;
}

void SpeakMode(Panel& panel) {
  struct Row {
    const char* mode;
    const char* clip;
  };
  // No mode is shown or stored as these words; SpeakMode has always said them all the same.
  static constexpr Row kAttenuatorWords[] = {{"ATT ON", "atton.wav"}, {"ATT OFF", "attoff.wav"}};
  auto& s = panel.state;
  if (const ModeRow* row = ModeNamed(s.ModeName); row != nullptr && !row->text.nameClip.empty())
    Speak(panel, row->text.nameClip);
  for (const Row& row : kAttenuatorWords)
    if (s.ModeName == row.mode) Speak(panel, row.clip);
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
  if (SpeaksWords(panel)) {
    const ClipEntry* entry = WrittenClipTable().Find(ClipName(panel, fullName));
    const auto kind = entry != nullptr ? entry->kind : ClipEntry::Kind::Silence;
    if (kind == ClipEntry::Kind::Speech) {
      SpokenPart part;
      part.clip = fullName;
      part.wait = wait;
      part.words = entry->words;
      QueueWords(panel, std::move(part));
    } else if (kind == ClipEntry::Kind::Tone) {
      // Heard beside the words; it waits for nothing, as with the voice off.
      panel.sound.Play(fullName, false);
    }
    // A close request ends the key here, as it does at a clip with the voice off.
    if (wait) StopIfAsked(panel);
    return;
  }
  panel.sound.Play(fullName, wait);
  if (wait) StopIfAsked(panel);
}

void PlayTag(Panel& panel, std::string_view tag, bool wait) {
  const auto& s = panel.state;
  // An empty voice folder is how the voice switch silences every clip; tags follow it.
  if (!s.TagVoice || s.VoiceDir.empty()) return;
  if (SpeaksWords(panel)) {
    SpokenPart part;
    part.tag = std::string(tag);
    part.wait = wait;
    part.words = platform::Latin1ToUtf8(tag, ' ');
    QueueWords(panel, std::move(part));
    return;
  }
  panel.sound.PlaySamples(tag, panel.speech.Synthesize(tag), wait);
  if (wait) StopIfAsked(panel);
}

bool SpeaksWords(const Panel& panel) {
  return panel.state.Voice == Voice::kSpeechDispatcher && panel.speechServer != nullptr &&
         !panel.state.VoiceDir.empty();
}

void SayWaitingWords(Panel& panel) {
  auto& unsaid = panel.messages.unsaid;
  if (unsaid.empty() || panel.speechServer == nullptr) return;
  std::string words;
  for (const SpokenPart& part : unsaid) {
    if (!words.empty()) words += ' ';
    words += part.words;
  }
  if (!panel.speechServer->Say(words)) return LoseSpeechServer(panel);
  unsaid.clear();
}

void CutSpeechShort(Panel& panel) {
  if (panel.speechServer == nullptr || panel.state.Voice != Voice::kSpeechDispatcher) return;
  panel.speechServer->Cancel();
}

}  // namespace voskel
