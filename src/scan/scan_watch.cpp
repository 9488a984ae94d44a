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
  if (s.ScanState == 3) s.ScanState = 1;
  DrawScanning(panel);
  if (s.ScanState == 1 && s.ScanVoice == 1) SpeakAsync(panel, "scan");
  s.ScanState = 2;
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
  if (s.BankState != 3) {
    DrawScanning(panel);
    if (s.ScanVoice == 1) Speak(panel, "scan");
    s.BankState = 3;
  }
}

void BankScanHalted(Panel& panel) {
  auto& s = panel.state;
  if (s.BankState >= 4) return;
  DrawStopped(panel);
  if (s.ScanVoice == 1) Speak(panel, "stop");
  // The channel last tuned lies just before the next one, or at the end of the list when
  // the scan has just started again from the top.
  int tuned = s.ChannelIndex - 2;
  if (s.ChannelIndex <= 4) {
    const int end = ChannelEnd(s);
    tuned = (s.BankState == 3 && end > kFirstChannel) ? end - 2 : kFirstChannel;
  }
  DrawChannelNote(panel, BankLine(s, tuned + 1));
  SpeakTag(panel, BankLine(s, tuned + 1));
  s.BankState = 4;
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
  if (s.StopMode == 1) Speak(panel, "stop");
  s.SearchActive = 2;
}

void SearchSignalGone(Panel& panel) {
  DrawStatus(panel, 270, "Search Mode Active", platform::kGreen);
  panel.state.SearchActive = 1;
}

}  // namespace

int RunScanWatch(Panel& panel) {
  auto& s = panel.state;
  if (s.ScanState > 0 && s.Quiet == 1) {
    MemoryScanMoving(panel);
    return 0;
  }
  if (s.BankState > 1 && s.Quiet == 1) {
    BankScanNext(panel);
    return 0;
  }
  if (s.ScanState > 0 && s.Quiet == 0) {
    DrawStopped(panel);
    s.ScanState = 3;
    return 5;
  }
  if (s.BankState > 1 && s.Quiet == 0) {
    BankScanHalted(panel);
    return 0;
  }
  if (s.SearchActive == 2 && s.StopMode != 1 && ResumeCountdownStep(panel)) return 0;
  if (s.SearchActive == 1 && s.Quiet == 0) {
    SearchHalted(panel);
    return 3;
  }
  if (s.SearchActive == 2 && s.Quiet == 1) {
    SearchSignalGone(panel);
    return 0;
  }
  return 0;
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
    s.ScanState = 1;
    return;
  }
  s.Frequency = StripLeadingZeros(std::string(SubFrom(s.ReplyText, at + 2, 4)) + "." +
                                  std::string(SubFrom(s.ReplyText, at + 6, 6)));
  s.TuneText = s.Frequency;
  ShowFrequency(panel);
  if (s.ScanVoice == 1 && s.ScanHold == 0) Speak(panel, "stop");
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
      if (s.StopMode == 0) {
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
