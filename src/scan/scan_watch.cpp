#include "scan/scan_watch.h"

#include <string>

#include "core/text.h"
#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "receiver/receiver_settings.h"
#include "link/exchange.h"
#include "panel/pen.h"
#include "scan/status_line.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kMaxSearchHits = 91;
constexpr int kScanHoldPolls = 7;
constexpr int kResumePolls = 5;

void DrawChannelNote(Panel& panel, const std::string& text) {
  MoveTo(panel, 340, 370);
  SetFont(panel, "Ariel", 30, 700);
  SetColour(panel, platform::kGreen);
  PrintAt(panel, text, "\r\n");
  SetColour(panel, platform::kBlack);
}

std::string StripLeadingZeros(std::string text) {
  const auto first = text.find_first_not_of('0');
  return first == std::string::npos ? std::string() : text.substr(first);
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
  DrawChannelNote(panel, std::string(39, ' '));
  s.Frequency = BankLine(s, s.ChannelIndex);
  s.TuneText = s.Frequency;
  SetFrequency(panel);
  s.ChannelIndex += 2;
  if (s.ChannelIndex >= kBankFileLines || BankLine(s, s.ChannelIndex) == kEndMarker)
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
    const int end = ChannelEnd(s);
    tuned = (s.BankState == BankState::kScanning && end > kFirstChannel) ? end - 2 : kFirstChannel;
  }
  DrawChannelNote(panel, BankLine(s, tuned + 1));
  SpeakTag(panel, BankLine(s, tuned + 1));
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
  DrawStatus(panel, 270, "Search Mode Active", platform::kGreen);
  panel.state.SearchActive = SearchActive::kMoving;
}

}  // namespace

PollState RunScanWatch(Panel& panel) {
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

bool ReadBackSearchFrequency(Panel& panel) {
  auto& s = panel.state;
  const std::size_t at = s.ReplyText.find("RF");
  if (at == std::string::npos) return false;
  // Only the digits count: the kept state line goes on with " ST" after them, and a blank
  // taken into the frequency would end up inside the next tuning command.
  std::string digits(SubFrom(s.ReplyText, at + 2, 11));
  digits = digits.substr(0, digits.find_first_not_of("0123456789"));
  // An "RF" with no frequency after it says nothing about where the search stopped:
  // asking again is better than recording "." as a hit.
  if (digits.empty()) return false;
  s.TuneText = digits;
  std::string frequency =
      std::string(SubFrom(s.TuneText, 0, 4)) + "." + std::string(SubFrom(s.TuneText, 4));
  frequency = StripLeadingZeros(frequency);
  while (!frequency.empty() && frequency.back() == '0') frequency.pop_back();
  s.Frequency = frequency;
  ShowFrequency(panel);
  RecordSearchHit(panel);
  return true;
}

void ReadBackScanStop(Panel& panel) {
  auto& s = panel.state;
  const std::size_t at = s.ReplyText.find("RF");
  if (at == std::string::npos) {
    s.ScanHold = kScanHoldPolls;
    return;
  }
  if (s.ReplyText.size() < 20) {
    SendResumeByte(panel);
    s.ReplyText.clear();
    s.ScanState = ScanState::kStarted;
    return;
  }
  s.Frequency = StripLeadingZeros(std::string(SubFrom(s.ReplyText, at + 2, 4)) + "." +
                                  std::string(SubFrom(s.ReplyText, at + 6, 6)));
  s.TuneText = s.Frequency;
  ShowFrequency(panel);
  if (s.ScanVoice && s.ScanHold == 0) Speak(panel, "stop");
  s.ScanHold = kScanHoldPolls;
}

void RecordSearchHit(Panel& panel) {
  auto& s = panel.state;
  for (int i = 4; i < kBankFileLines; i += 2) {
    auto& line = s.BankLines[static_cast<std::size_t>(i)];
    if (line == s.Frequency || s.FoundCount >= kMaxSearchHits) break;
    if (line == kEndMarker) {
      line = s.Frequency;
      s.BankLines[static_cast<std::size_t>(i + 1)] = " ";
      s.BankLines[static_cast<std::size_t>(i + 2)] = kEndMarker;
      s.FoundCount += 1;
      if (s.StopMode == StopMode::kContinue) {
        SetFont(panel, "Ariel", 30, 700);
        SetColour(panel, platform::kRed);
        MoveTo(panel, 20, 400);
        PrintAt(panel, "Found", "\r\n");
        MoveTo(panel, 750, 400);
        PrintAt(panel, s.FoundCount, "\r\n");
        SetColour(panel, platform::kBlack);
        SpeakCount(panel, s.FoundCount);
      }
      break;
    }
  }
  // Told at the hit that filled the list and at every later one.
  if (s.FoundCount >= kMaxSearchHits) Speak(panel, "bf");
}

}  // namespace voskel
