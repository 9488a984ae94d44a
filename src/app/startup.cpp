#include "app/startup.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "core/text.h"
#include "banks/bank_file.h"
#include "banks/stored_state.h"
#include "receiver/receiver_settings.h"
#include "link/exchange.h"
#include "link/receiver_port.h"
#include "panel/layout.h"
#include "panel/pen.h"
#include "keys/poll_cycle.h"
#include "panel/panel_lines.h"
#include "scan/activity_log.h"
#include "scan/scan_exit.h"
#include "voice/message.h"
#include "voice/voice.h"
#include "voice/voice_settings.h"

namespace voskel {
namespace {

constexpr int kPollTimer = 100;
// How long a key or tick may wait while the panel listens to its network clients.
constexpr int kNetworkWaitSliceMs = 10;

void ShowMissingConfiguration(Panel& panel) {
  StartLine(panel, ScreenLine::kConfigMissing);
  PrintAt(panel, "--- VOSKEL.CFG file not found ---");
  StartLine(panel, ScreenLine::kConfigMissingHint);
  PrintAt(panel, "please run the 'VOSKELCFG' program");
  Speak(panel, "cfnf");
}

// Before the stored state is taken over: nothing typed, hunted, queued or shown is left
// from before, and the stored settings fill the search's afresh.
void ResetRunState(PanelState& s) {
  Reset<ReceiverHeld>(s);
  Reset<SearchSettings>(s);
  Reset<Entry>(s);
  Reset<Hunts>(s);
  Reset<KeyIntake>(s);
  Reset<Display>(s);
  s.ConnectState = ConnectState::kUnknown;
  s.BankFileName = "bank00.dat";
}

// What state.dat kept through a run that ended without its shutdown.
StoredRecord ReadKeptState(Panel& panel, StoredSettings& settings) {
  std::ifstream file;
  BankImage lines{};
  if (!OpenBankFile(panel.workDir / kStateFileName, file)) return StoredRecord::kNone;
  ReadBankLines(file, lines);
  return ReadStoredSettings(lines, settings);
}

// Takes over the state stored at the last exit, or kept through a run that was killed,
// or the defaults when there is none. A damaged one is never used: nothing in it is sent
// to the receiver or spoken.
void RestoreState(Panel& panel) {
  auto& s = panel.state;
  StoredSettings settings = DefaultSettings();
  const StoredRecord inBank = ReadStoredSettings(ImageOf(s.Bank), settings);
  // bank00.dat holds a search list when the run before was cut off before its shutdown.
  const StoredRecord found = inBank != StoredRecord::kNone ? inBank : ReadKeptState(panel, settings);
  if (found == StoredRecord::kDamaged) {
    settings = DefaultSettings();
    panel.transcript.WriteLine(panel.clock.LocalTime() +
                               " the stored settings are damaged; the defaults are used");
  }
  s.ModeName = settings.mode;
  s.Frequency = settings.frequency;
  s.SearchLow = settings.low;
  s.SearchHigh = settings.high;
  s.StepText = settings.step;
  // On disk before bank00.dat becomes the search list: a kill from now on loses nothing.
  KeepStoredState(panel);
  if (inBank == StoredRecord::kNone) return;
  // The stored state is read once: the file becomes the empty search list.
  s.Bank.title = "Srchbank";
  s.Bank.step = kEndMarker;
  s.Bank.note = "     ";
  if (!SaveBank(panel)) Speak(panel, "inv");
}

// Besides the "rnc" the first key will hear, whoever started the panel from a terminal
// learns which device failed and why.
void ReportClosedPort(Panel& panel) {
  const std::string why = panel.ports.WhyNotOpen(panel.state.PortNumber);
  if (!why.empty()) std::fprintf(stderr, "voskel: %s\n", why.c_str());
}

void StoreState(Panel& panel) {
  auto& s = panel.state;
  s.Bank = BankOf(StateRecord(SettingsInForce(s), Cap(s.TitleLine + "  " + panel.clock.LocalDate() +
                                                       "  " + panel.clock.LocalTime())));
  s.BankFileName = "bank00.dat";
  KeepStoredState(panel);
  // The panel is about to go: a state that could not be stored is at least heard.
  if (!SaveBank(panel)) Speak(panel, "inv");
}

}  // namespace

std::string BannerLine(Panel& panel) {
  return "VOSKEL " + panel.state.VersionText + "  " + panel.clock.LocalDate() + "   " +
         panel.clock.LocalTime();
}

int StartUp(Panel& panel) {
  if (!OpenPanel(panel)) {
    // Without a window there are no keys to take: say why and end at once.
    std::fprintf(stderr, "voskel: cannot open the panel window (is a display available?): %s\n",
                 panel.window.WhyNotOpen().c_str());
    return 1;
  }
  try {
    if (!BeginRun(panel)) return ShutDown(panel, false);
    RunEventLoop(panel);
  } catch (const RunStopped&) {
    // Asked to end while speaking: the key stopped where it was, the state is stored.
    panel.state.RunFlag = false;
  }
  return ShutDown(panel);
}

bool BeginRun(Panel& panel) {
  auto& s = panel.state;
  RemoveStaleBankTemporaries(panel);
  s.VersionText = kVersionText;
  s.TitleLine = "*** Voskel V " + s.VersionText + " ***";
  s.CreditLine = kCreditLine;
  s.VoiceDir = kVoiceFolder;
  s.FixedVoiceDir = kVoiceFolder;
  if (!ReadConfigFile(panel.workDir / kConfigFileName, s)) {
    ShowMissingConfiguration(panel);
    FinishMessage(panel);
    // Nothing of the receiver's state is known on this path: the stored one must stay.
    return false;
  }
  if (s.VoiceSwitch == 0) s.VoiceDir.clear();
  TakeVoiceSettings(panel);
  if (s.DebugSwitch == 1 && panel.log.Open(panel.workDir / "debug1.dat")) {
    panel.log.Write(BannerLine(panel));
  }
  StartLine(panel, ScreenLine::kTitle);
  PrintAt(panel, s.TitleLine, s.CreditLine);
  for (const char* clip : {"vsk", "4", "point", "1"}) Speak(panel, clip);
  SpeakFixed(panel, "shdel");
  FinishMessage(panel);
  ConnectReceiver(panel);
  FinishMessage(panel);
  panel.window.StartTimer(kPollTimer);
  return true;
}

void ConnectReceiver(Panel& panel) {
  auto& s = panel.state;
  StartLine(panel, ScreenLine::kStartUp);
  ResetRunState(s);
  LoadBank(panel);
  RestoreState(panel);
  RestorePassList(panel);
  // The state is taken over and bank00.dat is the search list now: from here on a close
  // request ends the run at the next clip, and the state is stored.
  s.RunFlag = true;
  ShowSearchLine(panel);
  s.PortNumber = PortNumberOf(s.PortText);
  s.BaudRate = BaudRateOf(s.SpeedText);
  OpenReceiverPort(panel);
  ReportClosedPort(panel);
  const int refusedBefore = s.RefusedCount;
  SetFrequency(panel, s.Frequency);
  SpeakNumber(panel, s.Frequency);
  SpeakFixed(panel, "shdel");
  // Auto mode may have been left on by the run before (killed) or the receiver's own
  // keys: a manual mode shown while it chooses for itself would be a false claim.
  s.AutoModeOn = true;
  ApplyMode(panel);
  SpeakFixed(panel, "shdel");
  SetStep(panel);
  s.AttenuatorOn = true;
  ToggleAttenuator(panel);
  // A receiver not there yet gets the attenuator off with the other settings when it
  // first answers.
  if (s.SettingsUnsent) s.AttenuatorOn = false;
  // What the receiver refused, it holds otherwise: the panel shows what it holds.
  if (s.RefusedCount != refusedBefore) LearnReceiverState(panel);
  StartLine(panel, ScreenLine::kMode);
  PrintAt(panel, s.ModeName, "      ");
}

void RunEventLoop(Panel& panel) {
  auto& s = panel.state;
  s.RunFlag = true;
  while (s.RunFlag) {
    if (panel.remote == nullptr) {
      for (const platform::Event& event : panel.window.WaitEvents()) OnPanelEvent(panel, event);
      continue;
    }
    // The window cannot wake on a client's line: the wait between events alternates
    // between the two, so that a client is answered at once rather than at the next tick.
    const std::vector<platform::Event> events = panel.window.WaitEventsFor(0);
    for (const platform::Event& event : events) OnPanelEvent(panel, event);
    if (!events.empty()) continue;
    panel.remote->Wait(panel, kNetworkWaitSliceMs);
    TakeRemoteSets(panel);
  }
}

int ShutDown(Panel& panel, bool storeState) {
  auto& s = panel.state;
  panel.window.StopTimer();
  EndActivity(panel);
  if (s.DebugSwitch == 1) panel.log.Close();
  if (storeState) {
    try {
      // A scan ended by the end of the run leaves no channel passed for the next one; an
      // answer lost on the way gets one more try, there being no later.
      for (int tries = 0; tries < 2 && s.PassCount > 1 && s.ConnectState == ConnectState::kConnected;
           ++tries)
        ReleasePassedChannels(panel);
      SendCommand(panel, "EX");
    } catch (const ReceiverLost&) {
      // Nothing to say goodbye to; the state is stored all the same.
    }
    panel.ports.ClosePort(s.PortNumber);
    StoreState(panel);
    KeepPassList(panel);
  }
  FinishMessage(panel);
  ClosePanel(panel);
  return 0;
}

}  // namespace voskel
