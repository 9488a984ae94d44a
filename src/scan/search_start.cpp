// R: the receiver's search between the limits, or the panel's scan of the selected bank.
#include <string>

#include "banks/bank_check.h"
#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "banks/bank_keys.h"
#include "link/exchange.h"
#include "panel/layout.h"
#include "panel/pen.h"
#include "receiver/receiver_settings.h"
#include "scan/scan_keys.h"
#include "scan/search_list.h"
#include "scan/status_line.h"
#include "voice/voice.h"

namespace voskel {
namespace {

void ShowSearchLimits(Panel& panel) {
  const auto& s = panel.state;
  StartLine(panel, ScreenLine::kSearchLimits);
  PrintAt(panel, s.SearchLow, "/", s.SearchHigh, "\r\n");
}

}  // namespace

namespace {

// Limits, step and mode into the receiver, each after a pause; false at the first the
// receiver refused (which has said so).
bool LoadSearchSettings(Panel& panel) {
  auto& s = panel.state;
  Pause(panel);
  if (!SetFrequency(panel, s.SearchLow)) return false;
  Pause(panel);
  if (!SetFrequencyB(panel, s.SearchHigh)) return false;
  Pause(panel);
  if (!SetStep(panel)) return false;
  ShowSearchLimits(panel);
  Pause(panel);
  return ApplyMode(panel);
}

}  // namespace

void StartSearch(Panel& panel) {
  auto& s = panel.state;
  // Limits stored by an older run may be anything; nothing the receiver cannot tune goes out.
  if (!TunableFrequency(s.SearchLow) || !TunableFrequency(s.SearchHigh)) {
    Speak(panel, "inv");
    return;
  }
  // A search the receiver runs already goes on where the new one is refused.
  const bool wasSearching = IsSearching(s.SearchActive);
  s.SearchActive = SearchActive::kOff;
  s.ResumeCountdown = 0;
  // Loading the lower limit into VFO A ends a memory scan in the receiver; the poll
  // reactions must no longer take the search's halts for the scan's.
  const bool followedScan = s.ScanState != ScanState::kOff;
  s.ScanState = ScanState::kOff;
  DrawStatus(panel, ScreenLine::kSearchStartStatus, kSearchActiveText);
  Speak(panel, "srch");
  const int refusedBefore = s.RefusedCount;
  bool started = LoadSearchSettings(panel);
  if (started) {
    started = SendSetting(panel, "VS");
  }
  if (!started) {
    // No search runs: nothing may say one does, and the last list stays as it was.
    DrawStatus(panel, ScreenLine::kSearchStartStatus, std::string(kSearchActiveText.size(), ' '));
    // A receiver that would not leave its scan or search for this one is followed in it.
    if ((followedScan || wasSearching) && s.RefusedCount != refusedBefore)
      LearnReceiverState(panel);
    return;
  }
  // The list starts empty, so that a run that ends before Enter does not leave the hits of
  // an earlier search there as if they were this one's.
  CreateSearchList(panel);
  s.FoundCount = 0;
  s.SearchActive = SearchActive::kMoving;
  Speak(panel, "act");
}

void StartBankScan(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  // A bank whose last channel was killed holds only its end marker, which is no
  // frequency to tune.
  if (ChannelEnd(s.Bank) == kFirstChannel) {
    Speak(panel, "empty");
    return;
  }
  // The scan tunes every channel of the bank in turn: none may reach the receiver unchecked.
  if (BankDamage(s.Bank)) {
    Speak(panel, "inv");
    return;
  }
  s.BankState = BankState::kScanStarted;
  s.ChannelIndex = kFirstChannel;
  s.Frequency = BankLine(s.Bank, kFirstChannel);
  SetFrequency(panel, s.Frequency);
  ApplyBankModeAndStep(panel);
}

}  // namespace voskel
