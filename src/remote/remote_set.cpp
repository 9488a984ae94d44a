#include "remote/remote_set.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/text.h"
#include "keys/entry_edit.h"
#include "link/exchange.h"
#include "panel/layout.h"
#include "panel/pen.h"
#include "receiver/frequency_text.h"
#include "receiver/receiver_settings.h"
#include "remote/panel_view.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// The tone of a client's setting, apart from anything a key says.
constexpr const char* kSetTone = "beep";
// The written line's width in characters, blanks included.
constexpr std::size_t kLineWidth = 32;
// The spoken value takes about this long; no tone cuts it short.
constexpr std::int64_t kSpokenLengthMs = 2500;

std::string SpokenValue(const rigctl::SetRequest& set) {
  if (set.kind == rigctl::SetRequest::Kind::kMode) return set.mode;
  std::string mhz = HzToMhzText(set.hz);
  if (mhz.front() == '.') mhz.insert(0, 1, '0');
  if (mhz.back() == '.') mhz.pop_back();
  return mhz;
}

bool ReceiverHas(const PanelState& s, const rigctl::SetRequest& set) {
  if (set.kind == rigctl::SetRequest::Kind::kMode) return HamlibMode(s.ReceiverMode) == set.mode;
  return !s.ReceiverFrequency.empty() && MhzTextToHz(s.ReceiverFrequency) == set.hz;
}

}  // namespace

void SetAnnouncer::Changed(Panel& panel, const rigctl::SetRequest& set) {
  auto& s = panel.state;
  const std::string value = SpokenValue(set);
  const std::string text =
      Cap("network " + value + (set.kind == rigctl::SetRequest::Kind::kMode ? "" : " MHz"));
  unspoken_ = set;
  const std::int64_t now = panel.clock.NowMs();
  if (!s.VoiceDir.empty() && now - spokenAtMs_ >= kSpokenLengthMs)
    PlayClip(panel, s.VoiceDir + kSetTone, false);
  StartLine(panel, ScreenLine::kLog);
  // Blanks up to a fixed width cover a longer line before it and stop short of the title.
  PrintAt(panel, text, std::string(kLineWidth - std::min(text.size(), kLineWidth), ' '), "\r\n");
  // The braille line of an entry being typed stays the listener's.
  if (!EntryInProgress(s)) panel.braille.Show(text);
  panel.transcript.WriteLine(panel.clock.LocalTime() + " " + text);
}

void SetAnnouncer::SpeakDue(Panel& panel) {
  auto& s = panel.state;
  if (!unspoken_) return;
  const std::int64_t now = panel.clock.NowMs();
  if (now - spokenAtMs_ < kSpokenEveryMs || EntryInProgress(s) || s.KeyCount != 0) return;
  const rigctl::SetRequest set = *std::exchange(unspoken_, std::nullopt);
  // What the listener has tuned since is not the receiver's any more: nothing to say.
  if (!ReceiverHas(s, set)) return;
  spokenAtMs_ = now;
  const std::string value = SpokenValue(set);
  // Left playing: the next key's clip cuts it short, and nothing waits for it.
  if (!s.VoiceDir.empty()) panel.sound.PlaySamples(value, panel.speech.Synthesize(value), false);
}

int ApplyRemoteSet(Panel& panel, const rigctl::SetRequest& set, SetAnnouncer& announcer) {
  auto& s = panel.state;
  if (s.ConnectState != ConnectState::kConnected) return rigctl::kIoError;
  // After Q nothing more is done to the receiver: the run is ending.
  if (!s.RunFlag) return rigctl::kIoError;
  if (ListenerHoldsReceiver(s)) return rigctl::kRejected;
  const std::optional<Mode> mode = ModeOf(set.mode);
  if (set.kind == rigctl::SetRequest::Kind::kMode && !mode) return rigctl::kInvalidParameter;
  const bool changes = !ReceiverHas(s, set);
  WriteLogLine(panel, Cap("**rigctl " + (set.kind == rigctl::SetRequest::Kind::kMode
                                              ? "M " + set.mode
                                              : "F " + std::to_string(set.hz))));
  const Answer answer = set.kind == rigctl::SetRequest::Kind::kMode ? PutMode(panel, *mode)
                                                                    : PutFrequency(panel, set.hz);
  if (answer == Answer::kSilent) return rigctl::kIoError;
  if (answer == Answer::kRefused) return rigctl::kRejected;
  // A client that sends what the receiver already holds (again, after a timeout of its
  // own) has changed nothing the listener needs to hear about.
  if (changes) announcer.Changed(panel, set);
  return rigctl::kOk;
}

}  // namespace voskel
