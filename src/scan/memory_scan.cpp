// G, a letter and Enter: the receiver's scan of one of its memory banks; P while it holds
// on a signal passes the channel.
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "link/exchange.h"
#include "link/reply_fields.h"
#include "panel/pen.h"
#include "receiver/receiver_settings.h"
#include "scan/scan_exit.h"
#include "scan/scan_keys.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kChannelReads = 3;
constexpr int kFrequencyRead = 2;  // the read that carries the first channel's frequency

void Send(Panel& panel, std::string command) {
  SendCommand(panel, Cap(command));
}

// A command sent for its effect, whose answer is read here so that no later command takes
// it for its own. False when the receiver refused it.
bool Set(Panel& panel, std::string command) {
  return SendSetting(panel, Cap(command));
}

// "RF" and ten digits of Hz. A reply cut short inside the digits would show a wrong
// frequency, so it shows none.
void ReadBackChannelFrequency(Panel& panel, const std::string& reply) {
  const std::optional<std::string> frequency = ReportedFrequency(reply);
  if (!frequency) return;
  ReceiverIsOn(panel, *frequency);
  ShowFrequency(panel);
}

// The mode digit after "MD"; the mode is spoken only the first time it is read.
void ReadBackChannelMode(Panel& panel, const std::string& reply, bool& spoken) {
  auto& s = panel.state;
  const std::optional<char> digit = ReportedModeDigit(reply);
  if (!digit) return;
  const ModeRow* row = ListedMode(*digit);
  if (row == nullptr) return;
  s.ModeName = row->text.name;
  s.ReceiverMode = row->text.name;
  ShowModeName(panel);
  if (!spoken) Speak(panel, row->clip);
  spoken = true;
}

bool IsPassed(const PanelState& s, const std::string& channel) {
  for (int slot = 1; slot < s.PassCount && slot < kPassSlots; ++slot)
    if (s.PassList[static_cast<std::size_t>(slot)] == channel) return true;
  return false;
}

}  // namespace

void ChooseRadioBank(Panel& panel, KeyCode key) {
  auto& s = panel.state;
  if (!IsReceiverBankLetter(key)) {
    Speak(panel, "inv");
    s.EntryMode = EntryMode::kNone;
    return;
  }
  s.EntryText = std::string(1, static_cast<char>(key));
  Speak(panel, s.EntryText);
}

void StartMemoryScan(Panel& panel) {
  auto& s = panel.state;
  // G keeps what an earlier entry left in EntryText, so anything but one bank letter is
  // refused; the entry stays open for the letter.
  if (s.EntryText.size() != 1 || !IsReceiverBankLetter(s.EntryText[0])) {
    Speak(panel, "inv");
    return;
  }
  s.ScanHold = 0;
  s.HeardChannel.clear();
  // Passes belong to one scan: 49 of them in each, none carried over.
  const bool released = s.PassCount > 1;
  if (released) ReleasePassedChannels(panel);
  // The listing shows the bank's first channel; until the scan runs, the receiver is where
  // it was.
  const std::string frequency = s.Frequency;
  const std::string mode = s.ModeName;
  Send(panel, "LC1");
  Pause(panel);
  Send(panel, "MA" + s.EntryText);
  bool modeSpoken = false;
  for (int read = 1; read <= kChannelReads; ++read) {
    Pause(panel);
    const std::string reply = ReadReply(panel).text;
    if (read == kFrequencyRead) ReadBackChannelFrequency(panel, reply);
    ReadBackChannelMode(panel, reply, modeSpoken);
  }
  Pause(panel);
  // What is left of the listing is no answer to the start.
  DiscardWaiting(panel);
  Send(panel, "MS" + s.EntryText);
  Speak(panel, "shdel");  // silent and at once when the voice is off
  // A bank with nothing the receiver can scan is refused, and a receiver that does not
  // answer starts nothing: no scan runs, and the screen goes back to the receiver's own.
  if (const Answer answer = AwaitAnswer(panel); answer != Answer::kTaken) {
    s.EntryMode = EntryMode::kNone;
    Speak(panel, answer == Answer::kRefused ? "empty" : "inv");
    ReceiverIsOn(panel, frequency);
    ShowFrequency(panel);
    s.ModeName = s.ReceiverMode = mode;
    ShowModeName(panel);
    // The releases' "MR" left the receiver on a memory channel; a start whose answer was
    // lost may have set it scanning, on the channels' own modes.
    if (released || answer == Answer::kSilent) TuneBack(panel);
    return;
  }
  // The start is sent twice in case the first is lost.
  Set(panel, "MS" + s.EntryText);
  s.EntryMode = EntryMode::kNone;
  s.ScanState = ScanState::kStarted;
  // With the scan voice on, the poll that sees the scan move says "scan".
  if (!s.ScanVoice) Speak(panel, "scan");
}

void PassChannel(Panel& panel) {
  auto& s = panel.state;
  // Slot 0 stays empty, so 49 channels can be passed in one scan; one more would have no
  // slot and could never be released.
  if (s.PassCount >= kPassSlots) {
    Speak(panel, "passfull");
    return;
  }
  // The channel passed is the one whose stop the listener heard, not wherever the scan
  // has moved since.
  if (s.HeardChannel.empty()) {
    Speak(panel, "inv");
    return;
  }
  Speak(panel, "pass");
  DiscardWaiting(panel);
  Send(panel, "MR" + s.HeardChannel);
  const std::vector<std::string> report = AwaitLines(panel, 1, kAnswerWaitMs);
  // Recalled by its number, the channel holds the scan there until it is sent on.
  const bool recalled = !report.empty() && ReportedChannel(report.front()) == s.HeardChannel;
  Pause(panel);
  // A pass whose answer did not come may still have been made: it is listed for release as
  // well (releasing a channel that was never passed does no harm), but not said as done.
  Answer answer = Answer::kRefused;
  if (recalled) {
    answer = SendForAnswer(panel, "MP1");
  }
  if (answer != Answer::kTaken) Speak(panel, "inv");
  if (answer != Answer::kRefused && !IsPassed(s, s.HeardChannel)) {
    s.PassList[static_cast<std::size_t>(s.PassCount)] = s.HeardChannel;
    s.PassCount += 1;
  }
  Pause(panel);
  Set(panel, "MS");
}

}  // namespace voskel
