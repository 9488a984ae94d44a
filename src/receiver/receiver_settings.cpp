#include "receiver/receiver_settings.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/text.h"
#include "link/exchange.h"
#include "link/reply_fields.h"
#include "panel/layout.h"
#include "panel/pen.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// A number typed or stored with zeros in front ("0145") means what it says without them;
// the zero before a point stays ("0.5").
std::string WithoutLeadingZeros(const std::string& text) {
  std::size_t first = 0;
  while (first + 1 < text.size() && text[first] == '0' && text[first + 1] >= '0' &&
         text[first + 1] <= '9')
    ++first;
  return text.substr(first);
}

// "VA"/"VB" + the frequency with four places before its point, filled to the receiver's
// fixed width with zeros.
std::string FrequencyCommand(const char* word, const std::string& tuneText) {
  const std::string mhzText = WithoutLeadingZeros(tuneText);
  const double mhz = std::trunc(ReadNumber(mhzText));
  std::string command = word;
  if (mhz < 1000) command += '0';
  if (mhz < 100) command += '0';
  if (mhz < 10) command += '0';
  command += mhzText;
  while (command.size() < 11) command += '0';
  command += '0';
  // Places past the Hz are finer than any receiver tunes; sent, they would make a command
  // longer than the receiver's form (four MHz digits, a point, six places).
  constexpr std::size_t kCommandWidth = 13;
  if (command.size() > kCommandWidth) command.resize(kCommandWidth);
  return command;
}

// The frequency display went ahead of the receiver; it goes back to where the receiver is.
void ShowReceiverFrequency(Panel& panel) {
  BackToReceiverFrequency(panel.state);
  ShowFrequency(panel);
}

// A frequency line without a point (typed "145") gets one before a frequency goes out.
void PointFrequency(PanelState& s, const std::string& text) {
  if (s.Frequency.find('.') == std::string::npos) s.Frequency = Cap(text + ".0");
}

// A tuned frequency always holds a point.
std::string WithPoint(const std::string& text) {
  return Cap(text.find('.') == std::string::npos ? text + ".0" : text);
}

// An unanswered setting (auto mode's own, perhaps) may have switched auto mode on unknown
// to the panel.
bool AutoModeMayBeOn(const PanelState& s) {
  return s.AutoModeOn || s.ReceiverStateUnsure;
}

}  // namespace

bool SetFrequency(Panel& panel, std::string text) {
  auto& s = panel.state;
  bool taken = false;
  try {
    PointFrequency(s, text);
    taken = SendSetting(panel, FrequencyCommand("VA", text));
  } catch (const ReceiverLost&) {
    BackToReceiverFrequency(s);  // nothing reached the receiver
    throw;
  }
  if (!taken) {
    ShowReceiverFrequency(panel);
    return false;
  }
  // What was sent is where the receiver is (a search's lower limit as well).
  ReceiverIsOn(panel, WithPoint(text));
  ShowFrequency(panel);
  return true;
}

Answer PutFrequency(Panel& panel, std::int64_t hz) {
  // Whole MHz with ".0", and "0.5" rather than ".5", as a listener types and the panel
  // keeps them.
  std::string mhz = HzToMhzText(hz);
  if (mhz.front() == '.') mhz.insert(0, 1, '0');
  if (mhz.back() == '.') mhz += '0';
  const Answer answer = SendSettingForAnswer(panel, FrequencyCommand("VA", mhz));
  if (answer != Answer::kTaken) return answer;
  ReceiverIsOn(panel, Cap(mhz));
  ShowFrequency(panel);
  return answer;
}

bool SetFrequencyB(Panel& panel, const std::string& text) {
  PointFrequency(panel.state, text);
  return SendSetting(panel, FrequencyCommand("VB", text));
}

void ReceiverIsOn(Panel& panel, const std::string& frequency) {
  auto& s = panel.state;
  // Digits being typed stay the listener's: they are kept apart from Frequency.
  s.ReceiverFrequency = frequency;
  s.Frequency = frequency;
}

void BackToReceiverFrequency(PanelState& s) {
  if (!s.ReceiverFrequency.empty()) s.Frequency = s.ReceiverFrequency;
}

void ShowFrequency(Panel& panel) {
  auto& s = panel.state;
  StartLine(panel, ScreenLine::kFrequencyBlank);
  PrintAt(panel, std::string(20, ' '), "\r\n");
  StartLine(panel, ScreenLine::kFrequency);
  PrintAt(panel, s.Frequency, "\r\n");
  if (s.Frequency.size() < 8) {
    const std::size_t zeros = std::min<std::size_t>(8 - s.Frequency.size(), 4);
    PrintAt(panel, std::string(zeros, '0'), std::string(30, ' '), "\r\n");
  }
  SetColour(panel, platform::kBlack);
  SetFont(panel, kSmallFont);
}

bool StepFrequency(Panel& panel, std::int64_t deltaHz) {
  auto& s = panel.state;
  const std::int64_t hz = MhzTextToHz(s.Frequency) + deltaHz;
  if (!TunableHz(hz)) {
    Speak(panel, "inv");
    return false;
  }
  s.Frequency = HzToMhzText(hz);
  return SetFrequency(panel, s.Frequency);
}

bool SetStep(Panel& panel) {
  return SetStep(panel, panel.state.StepText);
}

bool SetStep(Panel& panel, const std::string& step) {
  const std::string khzText = WithoutLeadingZeros(step);
  const double khz = std::trunc(ReadNumber(khzText));
  std::string command = "ST";
  if (khz < 100) command += '0';
  if (khz < 10) command += '0';
  command += khzText;
  while (command.size() < 8) command += '0';
  return SendSetting(panel, Cap(command));
}

void ShowModeName(Panel& panel) {
  StartLine(panel, ScreenLine::kMode);
  PrintAt(panel, panel.state.ModeName, "      ", "\r\n");
  SetFont(panel, kSmallAerialFont);
}

Answer PutMode(Panel& panel, Mode mode) {
  auto& s = panel.state;
  for (const ModeRow& row : ModeRows()) {
    if (row.mode != mode) continue;
    const bool leftAuto = AutoModeMayBeOn(s);
    if (leftAuto) {
      const Answer answer = SendSettingForAnswer(panel, "AU0");
      if (answer != Answer::kTaken) return answer;
      s.AutoModeOn = false;
    }
    const Answer answer = SendSettingForAnswer(panel, row.command);
    // Out of auto mode, in a mode the panel cannot name: the receiver says which.
    if (answer == Answer::kRefused && leftAuto) LearnReceiverState(panel);
    if (answer != Answer::kTaken) return answer;
    s.ModeName = row.text.name;
    s.ReceiverMode = row.text.name;
    ShowModeName(panel);
    return answer;
  }
  return Answer::kRefused;
}

bool SelectMode(Panel& panel, Mode mode) {
  auto& s = panel.state;
  for (const ModeRow& row : ModeRows()) {
    if (row.mode != mode) continue;
    // Auto mode chooses the receiver's mode by itself until it is switched off: a mode
    // chosen by key is said only once auto mode is off.
    const bool leftAuto = mode != Mode::Auto && AutoModeMayBeOn(s);
    if (leftAuto) {
      if (!SendSetting(panel, "AU0")) return false;
      s.AutoModeOn = false;
    }
    // The mode is said once the receiver has it: a refused one is never announced.
    const int refusedBefore = s.RefusedCount;
    if (!SendSetting(panel, row.command)) {
      // Out of auto mode, in a mode the panel cannot name: the receiver says which.
      if (leftAuto && s.RefusedCount != refusedBefore) LearnReceiverState(panel);
      return false;
    }
    if (mode == Mode::Auto) s.AutoModeOn = true;
    s.ModeName = row.text.name;
    s.ReceiverMode = row.text.name;
    Speak(panel, row.clip);
    if (row.smallPenAfter) SetFont(panel, kSmallAerialFont);
    return true;
  }
  return false;
}

bool ApplyMode(Panel& panel) {
  auto& s = panel.state;
  ShowModeName(panel);
  for (const ModeRow& row : ModeRows()) {
    // A name with no command (a listing's "CW") leaves the receiver's mode as it is.
    if (s.ModeName != row.text.name || row.command.empty()) continue;
    if (SelectMode(panel, row.mode)) return true;
    // The screen showed the mode before the receiver refused it.
    if (!s.ReceiverMode.empty()) s.ModeName = s.ReceiverMode;
    ShowModeName(panel);
    return false;
  }
  return true;
}

void ToggleAttenuator(Panel& panel) {
  auto& s = panel.state;
  if (!SendSetting(panel, s.AttenuatorOn ? "AT0" : "AT1")) return;
  s.AttenuatorOn = !s.AttenuatorOn;
  Speak(panel, s.AttenuatorOn ? "atton" : "attoff");
}

void ToggleNoiseLimiter(Panel& panel) {
  auto& s = panel.state;
  if (!SendSetting(panel, s.NoiseLimiterOn ? "NL0" : "NL1")) return;
  s.NoiseLimiterOn = !s.NoiseLimiterOn;
  Speak(panel, "noise");
  Speak(panel, s.NoiseLimiterOn ? "on" : "off");
}

void SpeakSignalLevel(Panel& panel) {
  // The last level of a receiver that went away says nothing of the signal now.
  if (IsReceiverLost(panel.state)) throw ReceiverLost{};
  const int level = panel.state.SignalLevel;
  Speak(panel, "s");
  const int digit = std::clamp(level, 0, 9);
  SpeakDigit(panel, static_cast<char>('0' + digit));
  if (level > 9) Speak(panel, "plus");
}

namespace {

// One question, its answer's first line; empty when none came.
std::string AskOnce(Panel& panel, const char* query) {
  DiscardWaiting(panel);
  SendCommand(panel, query);
  const std::vector<std::string> lines = AwaitLines(panel, 1, kAnswerWaitMs);
  return lines.empty() ? std::string() : lines.front();
}

// A garbled digit reads as a frequency like any other, and what is learnt here is shown,
// stored and sent back at the next start: an answer counts when the next one says the same.
// A running search or scan moves between two questions, so there only its kind must agree.
bool AnswersAgree(const std::string& earlier, const std::string& later) {
  if (earlier.find("RF") == std::string::npos || later.find("RF") == std::string::npos)
    return false;
  const bool moving = earlier.rfind("VS", 0) == 0 || earlier.rfind("MS", 0) == 0;
  return moving ? earlier.compare(0, 2, later, 0, 2) == 0 : earlier == later;
}

// The digit the receiver answers a query alone with ("MD" gives "MD1", "AT" gives "AT 1"),
// believed when two answers agree; nothing when they never do.
std::optional<char> AskDigit(Panel& panel, const char* query, std::size_t at) {
  constexpr int kTries = 4;
  std::optional<char> earlier;
  for (int tries = 0; tries < kTries; ++tries) {
    const std::string answer = AskOnce(panel, query);
    if (answer.rfind(query, 0) != 0 || answer.size() <= at || answer[at] < '0' || answer[at] > '9')
      continue;
    const char later = answer[at];
    if (earlier == later) return later;
    earlier = later;
  }
  return std::nullopt;
}

std::string AskReceiverState(Panel& panel) {
  // A receiver that refused settings may refuse the question too, now and then.
  constexpr int kTries = 5;
  std::string earlier;
  for (int tries = 0; tries < kTries; ++tries) {
    std::string later = AskOnce(panel, "RX");
    if (AnswersAgree(earlier, later)) return later;
    if (later.find("RF") != std::string::npos) earlier = std::move(later);
  }
  return {};
}

}  // namespace

void LearnReceiverState(Panel& panel) {
  auto& s = panel.state;
  std::string state = AskReceiverState(panel);
  // Left on a memory channel the listener did not choose (a released pass whose tune-back
  // was refused): back on its VFO at the same frequency, where the panel's keys act.
  const std::optional<std::string> channelFrequency =
      state.rfind("MR", 0) == 0 && s.BankState == BankState::kNone ? ReportedFrequency(state)
                                                                      : std::nullopt;
  if (channelFrequency && SendSetting(panel, FrequencyCommand("VA", *channelFrequency)))
    state = AskReceiverState(panel);
  if (state.find("RF") == std::string::npos) return;
  // A receiver that would not leave its search or scan is followed in it again.
  if (state.rfind("MS", 0) == 0 && s.ScanState == ScanState::kOff) s.ScanState = ScanState::kStarted;
  if (state.rfind("VS", 0) == 0 && s.SearchActive == SearchActive::kOff)
    s.SearchActive = SearchActive::kMoving;
  if (const std::optional<std::string> frequency = ReportedFrequency(state)) {
    ReceiverIsOn(panel, *frequency);
    ShowFrequency(panel);
  }
  // A channel's report carries the channel's own mode and attenuator, which the receiver
  // left once it was told others: it is asked for its own.
  const bool channelReport = state.rfind("MS", 0) == 0 || state.rfind("MR", 0) == 0;
  std::optional<char> digit = ReportedModeDigit(state);
  if (channelReport) digit = AskDigit(panel, "MD", 2).value_or(digit.value_or(' '));
  if (const ModeRow* row = digit ? ReportedMode(*digit) : nullptr)
    s.ModeName = s.ReceiverMode = std::string(row->text.name);
  if (channelReport) {
    // A channel's report carries the channel's own auto flag, not the receiver's: auto mode
    // may be on, so a manual mode switches it off first.
    s.AutoModeOn = true;
  } else {
    s.AutoModeOn = state.find(" AU1") != std::string::npos;
    if (s.AutoModeOn) s.ModeName = s.ReceiverMode = "AUT";
  }
  std::optional<char> attenuator;
  if (const std::size_t at = state.find(" AT"); at != std::string::npos && at + 3 < state.size())
    attenuator = state[at + 3];
  if (channelReport) attenuator = AskDigit(panel, "AT", 3).value_or(attenuator.value_or(' '));
  if (attenuator == '0' || attenuator == '1') s.AttenuatorOn = attenuator == '1';
  ShowModeName(panel);
}

bool TuneTypedFrequency(Panel& panel) {
  auto& s = panel.state;
  if (s.EntryMode != EntryMode::kNone || s.Frequency.empty()) return true;
  Pause(panel);
  const bool tuned = SetFrequency(panel, s.Frequency);
  s.ScanState = ScanState::kOff;
  s.BankState = BankState::kNone;
  s.SearchActive = SearchActive::kOff;
  return tuned;
}

}  // namespace voskel
