// R: the receiver's search between the limits, or the panel's scan of the selected bank.
#include <string>

#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "banks/bank_keys.h"
#include "link/exchange.h"
#include "panel/pen.h"
#include "receiver/receiver_settings.h"
#include "scan/scan_keys.h"
#include "scan/status_line.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr const char* kSearchListFile = "bank00.dat";

// The search list starts empty in bank00.dat, so that a run that ends before Enter does
// not leave the hits of an earlier search there as if they were this one's.
void CreateSearchList(Panel& panel) {
  auto& s = panel.state;
  s.BankFileName = kSearchListFile;
  s.BankLines[0] = "Srchbank";
  s.BankLines[1] = s.ModeName;
  s.BankLines[2] = s.StepText;
  s.BankLines[3] = " ";
  s.BankLines[kFirstChannel] = kEndMarker;
  // A list that cannot be stored now is told when Enter tries again; the search itself
  // does not need the file.
  SaveBank(panel);
}

void ShowSearchLimits(Panel& panel) {
  const auto& s = panel.state;
  MoveTo(panel, 340, 370);
  SetFont(panel, "Ariel", 50, 700);
  SetColour(panel, platform::kBlack);
  PrintAt(panel, s.SearchLow, "/", s.SearchHigh, "\r\n");
}

}  // namespace

void StartSearch(Panel& panel) {
  auto& s = panel.state;
  // Limits stored by an older run may be anything; nothing the receiver cannot tune goes out.
  if (!TunableFrequency(s.SearchLow) || !TunableFrequency(s.SearchHigh)) {
    Speak(panel, "inv");
    return;
  }
  s.SearchActive = SearchActive::kMoving;
  s.FoundCount = 0;
  s.ResumeCountdown = 0;
  // Loading the lower limit into VFO A ends a memory scan in the receiver; the poll
  // reactions must no longer take the search's halts for the scan's.
  s.ScanState = ScanState::kOff;
  DrawStatus(panel, 290, "Search Mode Active", platform::kGreen);
  Speak(panel, "srch");
  CreateSearchList(panel);
  s.TuneText = s.SearchLow;
  Pause(panel);
  SetFrequency(panel);
  s.TuneText = s.SearchHigh;
  Pause(panel);
  SetFrequencyB(panel);
  Pause(panel);
  SetStep(panel);
  ShowSearchLimits(panel);
  Pause(panel);
  ApplyMode(panel);
  Speak(panel, "act");
  s.CommandText = "VS";
  SendCommand(panel);
}

void StartBankScan(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  // A bank whose last channel was killed holds only its end marker, which is no
  // frequency to tune.
  if (ChannelEnd(s) == kFirstChannel) {
    Speak(panel, "empty");
    return;
  }
  s.BankState = BankState::kScanStarted;
  s.ChannelIndex = kFirstChannel;
  s.Frequency = BankLine(s, kFirstChannel);
  s.TuneText = s.Frequency;
  SetFrequency(panel);
  ApplyBankModeAndStep(panel);
}

}  // namespace voskel
