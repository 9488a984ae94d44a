#include "scan/scan_watch.h"

#include <string>
#include <utility>

#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "banks/bank_keys.h"
#include "core/text.h"
#include "link/exchange.h"
#include "link/reply_fields.h"
#include "panel/layout.h"
#include "panel/pen.h"
#include "receiver/receiver_settings.h"
#include "scan/search_list.h"
#include "scan/status_line.h"
#include "voice/message.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kScanHoldPolls = 7;
constexpr int kResumePolls = 5;

void DrawChannelNote(Panel& panel, const std::string& text) {
  StartLine(panel, ScreenLine::kChannelNote);
  PrintAt(panel, text, "\r\n");
  SetColour(panel, platform::kBlack);
}

void MemoryScanMoving(Panel& panel) {
  auto& s = panel.state;
  if (s.ScanHold > 0) {
    s.ScanHold -= 1;
    if (s.ScanHold > 0) return;
  }
  if (s.ScanState == ScanState::kHalted) s.ScanState = ScanState::kStarted;
  DrawScanning(panel);
  if (s.ScanState == ScanState::kStarted && s.ScanVoice) SpeakAsync(panel, "scan");
  s.ScanState = ScanState::kMoving;
}

void BankScanNext(Panel& panel) {
  auto& s = panel.state;
  // The whole line goes: the tag the selection drew further left, and the halt's note.
  BlankChannelTag(panel);
  s.Frequency = BankLine(s.Bank, s.ChannelIndex);
  SetFrequency(panel, s.Frequency);
  s.ChannelIndex += 2;
  if (s.ChannelIndex >= kBankFileLines || BankLine(s.Bank, s.ChannelIndex) == kEndMarker)
    s.ChannelIndex = 4;
  if (s.BankState != BankState::kScanning) {
    DrawScanning(panel);
    if (s.ScanVoice) Speak(panel, "scan");
    s.BankState = BankState::kScanning;
  }
}

void BankScanHalted(Panel& panel) {
  auto& s = panel.state;
  if (s.BankState == BankState::kHalted) return;
  DrawStopped(panel);
  if (s.ScanVoice) Speak(panel, "stop");
  // The channel last tuned lies just before the next one, or at the end of the list when
  // the scan has just started again from the top.
  int tuned = s.ChannelIndex - 2;
  if (s.ChannelIndex <= 4) {
    const int end = ChannelEnd(s.Bank);
    tuned = (s.BankState == BankState::kScanning && end > kFirstChannel) ? end - 2 : kFirstChannel;
  }
  const std::string tag = BankLine(s.Bank, tuned + 1);
  DrawChannelNote(panel, tag);
  SpeakTag(panel, tag);
  if (IsBlank(tag)) SpeakWhereTo(panel, BankLine(s.Bank, tuned));
  s.BankState = BankState::kHalted;
}

// True when the countdown fired and the receiver was sent on.
bool ResumeCountdownStep(Panel& panel) {
  auto& s = panel.state;
  if (s.ResumeCountdown == 0) s.ResumeCountdown = kResumePolls;
  s.ResumeCountdown -= 1;
  if (s.ResumeCountdown != 0) return false;
  Pause(panel);
  SendResumeByte(panel);
  Pause(panel);
  SendResumeByte(panel);
  return true;
}

void SearchHalted(Panel& panel) {
  auto& s = panel.state;
  DrawStopped(panel);
  if (s.StopMode == StopMode::kStayOnHit) Speak(panel, "stop");
  s.SearchActive = SearchActive::kHalted;
}

void SearchSignalGone(Panel& panel) {
  DrawStatus(panel, ScreenLine::kSearchStatus, kSearchActiveText);
  panel.state.SearchActive = SearchActive::kMoving;
}

// At verbosity 2 and up, the channel whose stop was heard, as P would pass it ("A05"),
// and its tag.
void SpeakHeardChannel(Panel& panel, const std::string& tag) {
  const auto& s = panel.state;
  if (s.Verbosity < Verbosity::kWhereTo || s.HeardChannel.empty()) return;
  EndNumber(panel);
  Speak(panel, s.HeardChannel.substr(0, 1));
  for (const char c : s.HeardChannel.substr(1)) SpeakDigit(panel, c);
  EndNumber(panel);
  SpeakTag(panel, tag);
}

}  // namespace

PollState RunScanWatch(Panel& panel, const std::string& reply) {
  auto& s = panel.state;
  if (IsMemoryScanning(s.ScanState) && s.Quiet) {
    MemoryScanMoving(panel);
    return PollState::kIdle;
  }
  if (IsBankScanning(s.BankState) && s.Quiet) {
    BankScanNext(panel);
    return PollState::kIdle;
  }
  if (IsMemoryScanning(s.ScanState) && !s.Quiet) {
    DrawStopped(panel);
    s.ScanState = ScanState::kHalted;
    s.ScanStopReply = reply;
    return PollState::kScanStopWait;
  }
  if (IsBankScanning(s.BankState) && !s.Quiet) {
    BankScanHalted(panel);
    return PollState::kIdle;
  }
  if (s.SearchActive == SearchActive::kHalted && s.StopMode != StopMode::kStayOnHit &&
      ResumeCountdownStep(panel))
    return PollState::kIdle;
  if (s.SearchActive == SearchActive::kMoving && !s.Quiet) {
    SearchHalted(panel);
    return PollState::kAskFrequency;
  }
  if (s.SearchActive == SearchActive::kHalted && s.Quiet) {
    SearchSignalGone(panel);
    return PollState::kIdle;
  }
  return PollState::kIdle;
}

bool ReadBackSearchFrequency(Panel& panel, const std::string& reply) {
  auto& s = panel.state;
  // Only a whole frequency is a hit: a report cut short on the line would record, show
  // and later tune a frequency where the receiver never stopped. It is asked for again.
  const std::optional<std::string> frequency = ReportedFrequency(reply);
  if (!frequency) return false;
  ReceiverIsOn(panel, *frequency);
  ShowFrequency(panel);
  RecordSearchHit(panel);
  SpeakWhereTo(panel, s.ReceiverFrequency);
  return true;
}

void ReadBackScanStop(Panel& panel) {
  auto& s = panel.state;
  const std::string reply = std::exchange(s.ScanStopReply, {});
  const std::size_t at = reply.find("RF");
  if (at != std::string::npos && reply.size() < 20) {
    SendResumeByte(panel);
    s.ScanState = ScanState::kStarted;
    return;
  }
  // Without a whole frequency the halt is shown without one; the reply to the next poll
  // carries the report again while the scan holds.
  const std::optional<std::string> frequency = ReportedFrequency(reply);
  if (!frequency) {
    s.ScanHold = kScanHoldPolls;
    return;
  }
  ReceiverIsOn(panel, *frequency);
  ShowFrequency(panel);
  // P passes this channel, the one whose stop is announced, wherever the scan goes next.
  if (const std::optional<std::string> channel = ReportedChannel(reply))
    s.HeardChannel = *channel;
  if (s.ScanVoice && s.ScanHold == 0) {
    Speak(panel, "stop");
    SpeakHeardChannel(panel, ReportedTag(reply));
  }
  s.ScanHold = kScanHoldPolls;
}

}  // namespace voskel
