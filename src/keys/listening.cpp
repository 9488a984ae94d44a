#include "keys/listening.h"

#include <algorithm>

#include "voice/message.h"
#include "voice/voice.h"
#include "voice/voice_settings.h"

namespace voskel {
namespace {

// Steps a key repeats within this are one run: only where it ends is said.
constexpr std::int64_t kStepsStoppedMs = 500;
// A tone a little longer than the 300 ms between two level polls would leave gaps at a
// slow poll and pile up at none: the next poll's tone replaces it.
constexpr int kToneMs = 250;
constexpr int kLowestToneHz = 300;
constexpr int kToneHzPerLevel = 60;

}  // namespace

void NextVerbosity(Panel& panel) {
  auto& s = panel.state;
  s.Verbosity = s.Verbosity == Verbosity::kSquelch
                    ? Verbosity::kAsEver
                    : static_cast<Verbosity>(static_cast<int>(s.Verbosity) + 1);
  Speak(panel, "level");
  SpeakDigit(panel, static_cast<char>('0' + static_cast<int>(s.Verbosity)));
  KeepVoiceSettings(panel);
}

void ToggleSignalTone(Panel& panel) {
  auto& s = panel.state;
  s.SignalTone = !s.SignalTone;
  Speak(panel, "tone");
  Speak(panel, s.SignalTone ? "on" : "off");
  KeepVoiceSettings(panel);
}

void NoteSteppedFrequency(Panel& panel) {
  auto& s = panel.state;
  if (s.Verbosity >= Verbosity::kWhereTo)
    s.SteppedFrequencyDueMs = panel.clock.NowMs() + kStepsStoppedMs;
}

void SaySteppedFrequency(Panel& panel) {
  auto& s = panel.state;
  if (s.SteppedFrequencyDueMs == 0 || s.KeyCount > 0 ||
      panel.clock.NowMs() < s.SteppedFrequencyDueMs)
    return;
  s.SteppedFrequencyDueMs = 0;
  if (s.ReceiverFrequency.empty()) return;
  SayApart(panel, [&panel] { SpeakNumber(panel, panel.state.ReceiverFrequency); });
}

int SignalToneHz(int level, bool squelchClosed) {
  return kLowestToneHz + (squelchClosed ? 0 : std::clamp(level, 0, 21) * kToneHzPerLevel);
}

void SoundSignalTone(Panel& panel) {
  const auto& s = panel.state;
  if (!s.SignalTone || (panel.speechServer != nullptr && panel.speechServer->Speaking())) return;
  panel.sound.Tone(SignalToneHz(s.SignalLevel, s.Quiet), kToneMs);
}

void SaySquelchChange(Panel& panel, bool wasQuiet) {
  const auto& s = panel.state;
  if (s.Verbosity < Verbosity::kSquelch || s.Quiet == wasQuiet) return;
  if (IsSearching(s.SearchActive) || IsMemoryScanning(s.ScanState) ||
      IsBankScanning(s.BankState))
    return;
  SayApart(panel, [&panel] { Speak(panel, panel.state.Quiet ? "sqclosed" : "sqopen"); });
}

}  // namespace voskel
