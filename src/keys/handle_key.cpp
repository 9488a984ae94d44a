#include "keys/handle_key.h"

#include <cmath>
#include <string>

#include "core/text.h"
#include "banks/bank_keys.h"
#include "banks/bank_transfer.h"
#include "platform/virtual_keys.h"
#include "receiver/receiver_settings.h"
#include "link/exchange.h"
#include "panel/pen.h"
#include "panel/panel_lines.h"
#include "scan/scan_exit.h"
#include "scan/scan_keys.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kFineStepHz = 100;
constexpr int kArrowStepHz = 1000;

bool AnyScanOrSearch(const PanelState& s) {
  return s.SearchActive > 0 || s.ScanState > 0 || s.BankState > 0;
}

void ArrowStep(Panel& panel, int key) {
  auto& s = panel.state;
  if (s.SearchActive > 0 || s.ScanState > 0) {
    Speak(panel, "inv");
    return;
  }
  if (s.BankState == 1) {
    StepChannel(panel, key == keys::kUp ? 1 : -1);
    return;
  }
  StepFrequency(panel, key == keys::kUp ? kArrowStepHz : -kArrowStepHz);
}

void FineStep(Panel& panel, int key) {
  if (AnyScanOrSearch(panel.state)) {
    Speak(panel, "inv");
    return;
  }
  StepFrequency(panel, key == keys::kRight ? kFineStepHz : -kFineStepHz);
}

void PageStep(Panel& panel, int key) {
  if (AnyScanOrSearch(panel.state)) {
    Speak(panel, "inv");
    return;
  }
  const long long step = PageStepHz(panel.state.StepText);
  StepFrequency(panel, key == keys::kPageUp ? step : -step);
}

void SpeakFrequency(Panel& panel) {
  auto& s = panel.state;
  if (s.ScanState == 1 || s.ScanState == 2 || (s.BankState > 1 && s.Quiet == 1)) {
    Speak(panel, "scan");
    return;
  }
  s.TuneText = s.Frequency;
  SpeakNumber(panel);
  if (s.ScanState == 0) SpeakMode(panel);
}

void ModeKey(Panel& panel, int key) {
  static constexpr Mode kKeyModes[] = {Mode::FM,  Mode::AM, Mode::LSB, Mode::USB,
                                       Mode::WFM, Mode::CW, Mode::Auto};
  SelectMode(panel, kKeyModes[key - keys::kF1]);
  MoveTo(panel, 380, 80);
  SetFont(panel, "Ariel", 50, 700);
  SetColour(panel, platform::kBlack);
  PrintAt(panel, panel.state.ModeName, "      ", "\r\n");
  SetFont(panel, "Aerial", 30, 700);
}

void StartEntry(Panel& panel, int mode, const char* prompt) {
  auto& s = panel.state;
  Speak(panel, prompt);
  s.EntryMode = mode;
  s.FreshEntry = 1;
  if (mode == 1) s.LimitBefore = s.SearchLow;
  if (mode == 2) s.LimitBefore = s.SearchHigh;
}

// A search limit typed out of the receiver's range keeps the limit it replaced. True when
// the typed one stands.
bool KeepTunableLimit(Panel& panel) {
  auto& s = panel.state;
  if (s.FreshEntry == 1 || (s.EntryMode != 1 && s.EntryMode != 2)) return true;
  std::string& limit = s.EntryMode == 1 ? s.SearchLow : s.SearchHigh;
  if (TunableFrequency(limit)) return true;
  limit = s.LimitBefore;
  Speak(panel, "inv");
  return false;
}

// Digits of a limit or step entry go into a field that starts afresh on the first digit.
void AppendFresh(std::string& field, int& fresh, char c) {
  if (fresh == 1) {
    field.clear();
    fresh = 0;
  }
  AppendCapped(field, std::string(1, c));
}

// B, O, P and T: the bank number is typed next, and Enter runs the operation.
void StartBankEntry(Panel& panel, int mode, const char* prompt) {
  panel.state.EntryMode = mode;
  panel.state.EntryText.clear();
  Speak(panel, prompt);
}

void CommitBankEntry(Panel& panel) {
  auto& s = panel.state;
  if (s.EntryText.size() == 2 || s.EntryText.size() == 4) {
    switch (s.EntryMode) {
      case 4:
        CopyBank(panel);
        break;
      case 5:
        PutChannel(panel);
        break;
      case 6:
        SortBank(panel);
        break;
      default:
        SelectBank(panel);
        break;
    }
  } else {
    Speak(panel, "inv");
  }
  s.EntryMode = 0;
  s.FreshEntry = 0;
}

void CompleteSearchLimit(Panel& panel) {
  auto& s = panel.state;
  if (!KeepTunableLimit(panel)) {
    s.EntryMode = 0;
    s.FreshEntry = 0;
    return;
  }
  if (s.EntryMode == 3) SetStep(panel);
  if (s.FreshEntry == 1) {
    s.TuneText = s.EntryMode == 1 ? s.SearchLow : s.EntryMode == 2 ? s.SearchHigh : s.StepText;
    SpeakNumber(panel);
  } else {
    ShowSearchLine(panel);
    Speak(panel, "ok");
  }
  s.EntryMode = 0;
  s.FreshEntry = 0;
}

void CommitFrequency(Panel& panel) {
  auto& s = panel.state;
  const bool typed = s.FreshFrequency == 0;
  s.ResumeCountdown = 0;
  s.FreshFrequency = 1;
  const bool leavingScan = s.ScanState > 0 || s.BankState > 1;
  if (typed && !TunableFrequency(s.Frequency)) {
    // Nothing the receiver cannot tune goes out; the frequency it is on stays.
    s.Frequency = s.FrequencyBefore;
    Speak(panel, "inv");
    if (!leavingScan) return;
  }
  if (leavingScan) {
    ExitScan(panel);
    return;
  }
  TuneTypedFrequency(panel);
  Pause(panel);
  SetStep(panel);
  Speak(panel, s.QuitRequested == 1 ? "quit" : "ok");
}

}  // namespace

long long PageStepHz(const std::string& stepText) {
  const std::size_t point = stepText.find('.');
  if (point == std::string::npos) return RoundedHz(std::round(ReadNumber(stepText)) * 1000);
  return RoundedHz(ReadNumber(std::string_view(stepText).substr(0, point)) * 1000) +
         std::llround(ReadNumber(SubFrom(stepText, point + 1, 1)) * 100);
}

void EnterDigit(Panel& panel) {
  auto& s = panel.state;
  if (s.BankState > 1) return;
  const char c = static_cast<char>(s.CurrentKey);
  SpeakDigit(panel, c);
  switch (s.EntryMode) {
    case 0:
      if (s.FreshFrequency == 1) s.FrequencyBefore = s.Frequency;
      AppendFresh(s.Frequency, s.FreshFrequency, c);
      break;
    case 1:
      AppendFresh(s.SearchLow, s.FreshEntry, c);
      break;
    case 2:
      AppendFresh(s.SearchHigh, s.FreshEntry, c);
      break;
    case 3:
      AppendFresh(s.StepText, s.FreshEntry, c);
      break;
    case 9:
      WriteEntryDigit(panel, c);
      break;
    case 4:
    case 5:
    case 6:
    case 7:
    case 10:
    case 11:
      AppendCapped(s.EntryText, std::string(1, c));
      break;
    default:
      break;
  }
}

void CommitEntry(Panel& panel) {
  auto& s = panel.state;
  switch (s.EntryMode) {
    case 0:
      CommitFrequency(panel);
      break;
    case 1:
    case 2:
    case 3:
      CompleteSearchLimit(panel);
      break;
    case 4:
    case 5:
    case 6:
    case 7:
      CommitBankEntry(panel);
      break;
    case 9:
      CommitWriteEntry(panel);
      break;
    case 10:
      DeleteBank(panel);
      break;
    case 11:
      DeleteChannel(panel);
      break;
    case 8:
      StartMemoryScan(panel);  // refused with "inv" unless one bank letter was chosen
      break;
    default:
      s.EntryMode = 0;
      s.FreshEntry = 0;
      break;
  }
}

void TestExchange(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = 0;
  if (s.EntryText.empty()) return;
  s.CommandText = s.EntryText;
  SendCommand(panel);
  s.LogLine = Cap("TX=" + s.EntryText + " RX=");
  Pause(panel);
  ReadRaw(panel);
  AppendCapped(s.LogLine, s.ReplyText);
  MoveTo(panel, 0, 0);
  SetFont(panel, "ARIEL", 10, 700);
  SetColour(panel, platform::kBlack);
  PrintAt(panel, s.LogLine, std::string(22, ' '), "\r\n");
}

void HandleKey(Panel& panel) {
  auto& s = panel.state;
  const int key = s.CurrentKey;

  if (key == 'X' && s.EntryMode != 12 && s.DebugSwitch == 1) {
    Speak(panel, "test");
    s.EntryText.clear();
    s.EntryMode = 12;
    return;
  }
  if (s.EntryMode == 12) {
    if (key == keys::kEnter)
      TestExchange(panel);
    else
      AppendCapped(s.EntryText, std::string(1, static_cast<char>(key)));
    return;
  }
  if (key == 'Q') {
    s.QuitRequested = 1;
    s.RunFlag = 0;
    CommitEntry(panel);
    return;
  }
  if (key == keys::kPoint || keys::IsDigit(key)) {
    EnterDigit(panel);
    return;
  }
  if (s.EntryMode == 9 && key != keys::kEnter) {
    WriteEntryLetter(panel);
    return;
  }
  if (key == 'W') {
    StartWriteEntry(panel);
    return;
  }
  if (key == 'R') {
    if (s.EntryMode >= 1 && s.EntryMode <= 3) KeepTunableLimit(panel);
    s.EntryMode = 0;
    if (s.BankState == 0) {
      StartSearch(panel);
      return;
    }
    StartBankScan(panel);  // R goes on: only the scan interruption below still applies
  }
  if (key == keys::kEnter) {
    ClearPanelLines(panel);
    if (s.SearchActive > 0) EndSearch(panel);
    s.SearchActive = 0;
    CommitEntry(panel);
    return;
  }
  if (s.EntryMode == 8) {
    ChooseRadioBank(panel);
    return;
  }
  if (s.EntryMode >= 1 && s.EntryMode <= 3) {
    // The typed text stays, unless the receiver could not search from it.
    KeepTunableLimit(panel);
    s.EntryMode = 0;
  }

  switch (key) {
    case 'Z':
      Speak(panel, "ckconfig");
      CheckReceiverBanks(panel);
      return;
    case 'S':
      StartEntry(panel, 1, "start");
      return;
    case 'K':
      if (s.BankState == 1) {
        s.EntryMode = 11;
        Speak(panel, "kill");
      }
      return;
    case 'F':
      SpeakFrequency(panel);
      return;
    case 'H':
      SpeakAsync(panel, "help");
      return;
    case keys::kUp:
    case keys::kDown:
      ArrowStep(panel, key);
      return;
    case 'D':
      if (s.EntryMode == 0) StartBankEntry(panel, 10, "delete");
      return;
    case 'M':
      SpeakSignalLevel(panel);
      return;
    default:
      break;
  }

  // Most other keys leave a memory scan that has only just been started.
  if (s.ScanState == 1 && key != keys::kSpace) {
    Speak(panel, "exitscan");
    s.ScanState = 0;
  }

  switch (key) {
    case 'E':
      StartEntry(panel, 2, "end");
      return;
    case 'N':
      s.ScanVoice = 1 - s.ScanVoice;
      Speak(panel, "svoice");
      Speak(panel, s.ScanVoice == 1 ? "on" : "off");
      return;
    case 'V':
      s.TagVoice = 1 - s.TagVoice;
      Speak(panel, "tags");
      Speak(panel, s.TagVoice == 1 ? "on" : "off");
      return;
    case 'I':
      StartEntry(panel, 3, "incr");
      return;
    case 'G':
      s.EntryMode = 8;
      Speak(panel, "radbank");
      return;
    case 'C':
      s.StopMode = 1 - s.StopMode;
      Speak(panel, s.StopMode == 1 ? "stmode" : "cont");
      ShowSearchLine(panel);
      return;
    case keys::kLeft:
    case keys::kRight:
      FineStep(panel, key);
      return;
    case keys::kPageUp:
    case keys::kPageDown:
      PageStep(panel, key);
      return;
    case 'A':
      ToggleAttenuator(panel);
      return;
    case 'L':
      ToggleNoiseLimiter(panel);
      return;
    case 'B':
      StartBankEntry(panel, 7, "bank");
      return;
    case 'O':
      StartBankEntry(panel, 6, "sort");
      return;
    case 'P':
      if (s.ScanState > 0 && s.Quiet == 0)
        PassChannel(panel);
      else
        StartBankEntry(panel, 5, "put");
      return;
    case 'T':
      StartBankEntry(panel, 4, "transfer");
      return;
    default:
      break;
  }
  if (key >= keys::kF1 && key <= keys::kF7) ModeKey(panel, key);
}

}  // namespace voskel
