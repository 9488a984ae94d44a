#include "app/startup.h"

#include <cstdio>
#include <string>

#include "app/config_file.h"
#include "core/text.h"
#include "banks/bank_file.h"
#include "receiver/receiver_settings.h"
#include "link/exchange.h"
#include "link/receiver_port.h"
#include "panel/pen.h"
#include "keys/poll_cycle.h"
#include "panel/panel_lines.h"
#include "voice/message.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kPollTimer = 100;

void ShowMissingConfiguration(Panel& panel) {
  MoveTo(panel, 0, 30);
  PrintAt(panel, "--- VOSKEL.CFG file not found ---");
  MoveTo(panel, 0, 60);
  PrintAt(panel, "please run the 'VOSKELCFG' program");
  Speak(panel, "cfnf");
}

void ResetRunState(PanelState& s) {
  s.EntryMode = EntryMode::kNone;
  s.FreshEntry = false;
  s.FreshFrequency = true;
  s.PassCount = 1;
  s.KeyCount = 0;
  s.KeyQueue.fill(0);
  s.PollState = PollState::kIdle;
  s.NoiseLimiterOn = false;
  s.BankState = BankState::kNone;
  s.ChannelIndex = 0;
  s.ScanState = ScanState::kOff;
  s.SearchActive = SearchActive::kOff;
  s.StopMode = StopMode::kContinue;
  s.ResumeCountdown = 0;
  s.ScanHold = 0;
  s.ConnectState = ConnectState::kUnknown;
  s.MeterLine = "Connecting";
  s.Frequency.clear();
  s.MeterBar = std::string(18, '*');
  s.BankFileName = "bank00.dat";
}

// Takes over the state stored at the last exit, or the defaults when there is none.
void RestoreState(Panel& panel) {
  auto& s = panel.state;
  if (s.BankLines[0].rfind("***", 0) != 0) {
    s.SearchLow = "145";
    s.SearchHigh = "146";
    s.StepText = "12.5";
    s.Frequency = "145";
    s.ModeName = "FM";
    return;
  }
  s.ModeName = s.BankLines[1];
  s.Frequency = s.BankLines[2];
  s.SearchLow = s.BankLines[3];
  s.SearchHigh = s.BankLines[4];
  s.StepText = s.BankLines[5];
  // The stored state is read once: the file becomes the empty search list.
  s.BankLines[0] = "Srchbank";
  s.BankLines[2] = kEndMarker;
  s.BankLines[3] = "     ";
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
  const std::string lines[] = {
      Cap(s.TitleLine + "  " + panel.clock.LocalDate() + "  " + panel.clock.LocalTime()),
      s.ModeName, s.Frequency, s.SearchLow, s.SearchHigh, s.StepText, kEndMarker, "     "};
  for (std::size_t i = 0; i < std::size(lines); ++i) s.BankLines[i] = lines[i];
  s.BankFileName = "bank00.dat";
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
  if (s.DebugSwitch == 1 && panel.log.Open(panel.workDir / "debug1.dat")) {
    panel.log.Write(BannerLine(panel));
  }
  MoveTo(panel, 270, 0);
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
  MoveTo(panel, 0, 0);
  SetFont(panel, "Ariel", 50, 700);
  ResetRunState(s);
  LoadBank(panel);
  RestoreState(panel);
  // The state is taken over and bank00.dat is the search list now: from here on a close
  // request ends the run at the next clip, and the state is stored.
  s.RunFlag = true;
  ShowSearchLine(panel);
  s.PortNumber = PortNumberOf(s.PortText);
  s.BaudRate = BaudRateOf(s.SpeedText);
  OpenReceiverPort(panel);
  ReportClosedPort(panel);
  s.TuneText = s.Frequency;
  SetFrequency(panel);
  SpeakNumber(panel);
  SpeakFixed(panel, "shdel");
  ApplyMode(panel);
  SpeakFixed(panel, "shdel");
  SetStep(panel);
  s.AttenuatorOn = true;
  ToggleAttenuator(panel);
  MoveTo(panel, 380, 80);
  SetFont(panel, "Ariel", 50, 700);
  SetColour(panel, platform::kBlack);
  PrintAt(panel, s.ModeName, "      ");
}

void RunEventLoop(Panel& panel) {
  auto& s = panel.state;
  s.RunFlag = true;
  while (s.RunFlag) {
    for (const platform::Event& event : panel.window.WaitEvents()) OnPanelEvent(panel, event);
  }
}

int ShutDown(Panel& panel, bool storeState) {
  auto& s = panel.state;
  panel.window.StopTimer();
  if (s.DebugSwitch == 1) panel.log.Close();
  if (storeState) {
    s.CommandText = "EX";
    try {
      SendCommand(panel);
    } catch (const ReceiverLost&) {
      // Nothing to say goodbye to; the state is stored all the same.
    }
    panel.ports.ClosePort(s.PortNumber);
    StoreState(panel);
  }
  FinishMessage(panel);
  ClosePanel(panel);
  return 0;
}

}  // namespace voskel
