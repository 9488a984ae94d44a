#include "scan/scan_exit.h"

#include "banks/bank_file.h"
#include "receiver/receiver_settings.h"
#include "link/exchange.h"
#include "voice/voice.h"

namespace voskel {

void ExitScan(Panel& panel) {
  auto& s = panel.state;
  Speak(panel, "exitscan");
  s.ScanState = 0;
  s.BankState = 0;
  if (s.PassCount > 1) {
    for (int slot = 1; slot < s.PassCount && slot < kPassSlots; ++slot) {
      s.CommandText = "MR" + s.PassList[static_cast<std::size_t>(slot)];
      SendCommand(panel);
      Pause(panel);
      s.CommandText = "MP0";
      SendCommand(panel);
      Pause(panel);
    }
    s.PassCount = 1;
  }
  s.EntryMode = 0;
  s.TuneText = s.Frequency;
  SetFrequency(panel);
  Pause(panel);
  ApplyMode(panel);
  if (s.QuitRequested == 1) Speak(panel, "quit");
}

void EndSearch(Panel& panel) {
  auto& s = panel.state;
  // A list that could not be stored must not pass for a stored one.
  if (!SaveBank(panel)) Speak(panel, "inv");
  SpeakCount(panel, s.FoundCount);
  s.ScanState = 0;
  s.BankState = 0;
  s.SearchActive = 0;
}

void AbandonScans(Panel& panel) {
  auto& s = panel.state;
  if (s.SearchActive > 0 && !SaveBank(panel)) Speak(panel, "inv");
  s.SearchActive = 0;
  s.ScanState = 0;
  if (s.BankState > 1) s.BankState = 0;
  s.ScanHold = 0;
  s.ResumeCountdown = 0;
  s.PassCount = 1;
}

}  // namespace voskel
