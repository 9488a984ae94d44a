// G, a letter and Enter: the receiver's scan of one of its memory banks; P while it holds
// on a signal passes the channel.
#include <optional>
#include <string>

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

struct ModeDigit {
  char digit;
  const char* name;  // ModeName, and the clip that says it
};

// The receiver's mode digits. "CW" has no trailing blank here: ExitScan's ApplyMode then
// leaves the receiver's own mode alone.
constexpr ModeDigit kModeDigits[] = {{'0', "WFM"}, {'1', "FM"},  {'2', "AM"},
                                     {'3', "USB"}, {'4', "LSB"}, {'5', "CW"}};

void Send(Panel& panel, std::string command) {
  panel.state.CommandText = Cap(command);
  SendCommand(panel);
}

// A command sent for its effect, whose answer is read here so that no later command takes
// it for its own. False when the receiver refused it.
bool Set(Panel& panel, std::string command) {
  panel.state.CommandText = Cap(command);
  return SendSetting(panel);
}

// "RF" and ten digits of Hz. A reply cut short inside the digits would show a wrong
// frequency, so it shows none.
void ReadBackChannelFrequency(Panel& panel) {
  auto& s = panel.state;
  const std::optional<std::string> frequency = ReportedFrequency(s.ReplyText);
  if (!frequency) return;
  ReceiverIsOn(panel, *frequency);
  ShowFrequency(panel);
}

// The mode digit after "MD"; the mode is spoken only the first time it is read.
void ReadBackChannelMode(Panel& panel, bool& spoken) {
  auto& s = panel.state;
  const std::optional<char> digit = ReportedModeDigit(s.ReplyText);
  if (!digit) return;
  for (const ModeDigit& row : kModeDigits) {
    if (row.digit != *digit) continue;
    s.ModeName = row.name;
    s.ReceiverMode = row.name;
    ShowModeName(panel);
    if (!spoken) Speak(panel, row.name);
    spoken = true;
    return;
  }
}

}  // namespace

void ChooseRadioBank(Panel& panel) {
  auto& s = panel.state;
  if (!IsReceiverBankLetter(s.CurrentKey)) {
    Speak(panel, "inv");
    s.EntryMode = EntryMode::kNone;
    return;
  }
  s.EntryText = std::string(1, static_cast<char>(s.CurrentKey));
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
  // Passes belong to one scan: 49 of them in each, none carried over.
  if (s.PassCount > 1) ReleasePassedChannels(panel);
  Send(panel, "LC1");
  Pause(panel);
  Send(panel, "MA" + s.EntryText);
  bool modeSpoken = false;
  for (int read = 1; read <= kChannelReads; ++read) {
    Pause(panel);
    ReadReply(panel);
    if (read == kFrequencyRead) ReadBackChannelFrequency(panel);
    ReadBackChannelMode(panel, modeSpoken);
  }
  Pause(panel);
  // What is left of the listing is no answer to the start.
  DiscardWaiting(panel);
  Send(panel, "MS" + s.EntryText);
  Speak(panel, "shdel");  // silent and at once when the voice is off
  // A bank with nothing the receiver can scan is refused: no scan starts.
  if (AwaitAnswer(panel) == Answer::kRefused) {
    s.EntryMode = EntryMode::kNone;
    Speak(panel, "empty");
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
  Speak(panel, "pass");
  Send(panel, "MR");
  Pause(panel);
  ReadReply(panel);
  const auto channel = ReportedChannel(s.ReplyText);
  if (!channel) {
    Speak(panel, "inv");
    // "MR" has stopped the receiver's scan on this channel: let it go on unpassed rather
    // than leave it sitting there while the panel says it scans.
    Pause(panel);
    Set(panel, "MS");
    return;
  }
  Pause(panel);
  // Only a channel the receiver marked is kept for release.
  const bool passed = Set(panel, "MP1");
  if (passed) {
    s.PassList[static_cast<std::size_t>(s.PassCount)] = *channel;
    s.PassCount += 1;
  }
  Pause(panel);
  Set(panel, "MS");
}

}  // namespace voskel
