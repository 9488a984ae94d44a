#include "scan/scan_exit.h"

#include "banks/bank_file.h"
#include "link/exchange.h"
#include "receiver/receiver_settings.h"
#include "voice/voice.h"

namespace voskel {

void ReleasePassedChannels(Panel& panel) {
  auto& s = panel.state;
  // Each answer is read here, so none is left for a later command to take as its own. A
  // refusal is only logged: the scan ends all the same, and nothing said claims a release.
  // A receiver silent to one command is not waited on for the rest: with 49 passes that
  // would hold the panel for half a minute; the next setting drops whatever came late.
  bool answering = true;
  const auto release = [&](std::string command) {
    s.CommandText = std::move(command);
    if (answering)
      answering = SendForAnswer(panel) != Answer::kSilent;
    else
      SendCommand(panel);
    Pause(panel);
  };
  for (int slot = 1; slot < s.PassCount && slot < kPassSlots; ++slot) {
    release("MR" + s.PassList[static_cast<std::size_t>(slot)]);
    release("MP0");
  }
  s.PassCount = 1;
}

void EndMemoryScan(Panel& panel) {
  Speak(panel, "exitscan");
  panel.state.ScanState = ScanState::kOff;
  ReleasePassedChannels(panel);
}

void ExitScan(Panel& panel) {
  auto& s = panel.state;
  // Dropped before the release, so that a receiver lost during it leaves no bank selected.
  s.BankState = BankState::kNone;
  EndMemoryScan(panel);
  s.EntryMode = EntryMode::kNone;
  s.TuneText = s.Frequency;
  SetFrequency(panel);
  Pause(panel);
  ApplyMode(panel);
  if (s.QuitRequested) Speak(panel, "quit");
}

void EndSearch(Panel& panel) {
  auto& s = panel.state;
  // A list that could not be stored must not pass for a stored one.
  if (!SaveBank(panel)) Speak(panel, "inv");
  SpeakCount(panel, s.FoundCount);
  s.ScanState = ScanState::kOff;
  s.BankState = BankState::kNone;
  s.SearchActive = SearchActive::kOff;
}

void AbandonScans(Panel& panel) {
  auto& s = panel.state;
  if (IsSearching(s.SearchActive) && !SaveBank(panel)) Speak(panel, "inv");
  s.SearchActive = SearchActive::kOff;
  s.ScanState = ScanState::kOff;
  if (IsBankScanning(s.BankState)) s.BankState = BankState::kNone;
  s.ScanHold = 0;
  s.ResumeCountdown = 0;
  s.PassCount = 1;
}

}  // namespace voskel
