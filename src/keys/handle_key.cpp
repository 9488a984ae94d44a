#include "keys/handle_key.h"

#include <cmath>
#include <string>
#include <utility>

#include "banks/bank_keys.h"
#include "banks/bank_transfer.h"
#include "core/text.h"
#include "keys/entry_edit.h"
#include "keys/key_message.h"
#include "keys/listening.h"
#include "keys/mode_keys.h"
#include "link/exchange.h"
#include "panel/panel_lines.h"
#include "panel/pen.h"
#include "platform/virtual_keys.h"
#include "receiver/receiver_settings.h"
#include "scan/scan_exit.h"
#include "scan/scan_keys.h"
#include "voice/message.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kFineStepHz = 100;
constexpr int kArrowStepHz = 1000;

bool AnyScanOrSearch(const PanelState& s) {
  return IsSearching(s.SearchActive) || IsMemoryScanning(s.ScanState) ||
         s.BankState != BankState::kNone;
}

void ArrowStep(Panel& panel, int key) {
  auto& s = panel.state;
  if (IsSearching(s.SearchActive) || IsMemoryScanning(s.ScanState)) {
    Speak(panel, "inv");
    return;
  }
  if (s.BankState == BankState::kSelected) {
    StepChannel(panel, key == keys::kUp ? 1 : -1);
    return;
  }
  if (StepFrequency(panel, key == keys::kUp ? kArrowStepHz : -kArrowStepHz))
    NoteSteppedFrequency(panel);
}

void FineStep(Panel& panel, int key) {
  if (AnyScanOrSearch(panel.state)) {
    Speak(panel, "inv");
    return;
  }
  if (StepFrequency(panel, key == keys::kRight ? kFineStepHz : -kFineStepHz))
    NoteSteppedFrequency(panel);
}

void PageStep(Panel& panel, int key) {
  if (AnyScanOrSearch(panel.state)) {
    Speak(panel, "inv");
    return;
  }
  const long long step = PageStepHz(panel.state.StepText);
  if (StepFrequency(panel, key == keys::kPageUp ? step : -step)) NoteSteppedFrequency(panel);
}

void SpeakFrequency(Panel& panel) {
  auto& s = panel.state;
  if (s.ScanState == ScanState::kStarted || s.ScanState == ScanState::kMoving ||
      (IsBankScanning(s.BankState) && s.Quiet)) {
    Speak(panel, "scan");
    return;
  }
  SpeakNumber(panel, s.Frequency);
  if (s.ScanState == ScanState::kOff) SpeakMode(panel);
}

void ModeKey(Panel& panel, int key) {
  // A refused mode leaves the mode line showing the receiver's own.
  SelectMode(panel, ModeOfKey(key));
  ShowModeName(panel);
}

void StartEntry(Panel& panel, EntryMode mode, const char* prompt) {
  auto& s = panel.state;
  Speak(panel, prompt);
  BeginEntry(s, mode);
  s.FreshEntry = true;
  s.LimitBefore = LimitField(s);
}

// A limit the receiver could not search from, or a step it cannot take, keeps the value it
// replaced. True when the typed one stands.
bool KeepTunableLimit(Panel& panel) {
  auto& s = panel.state;
  if (s.FreshEntry) return true;
  std::string& field = LimitField(s);
  if (s.EntryMode == EntryMode::kStep ? UsableStep(field) : TunableFrequency(field)) return true;
  field = s.LimitBefore;
  Speak(panel, "inv");
  return false;
}

// Digits of a limit or step entry go into a field that starts afresh on the first digit.
void AppendFresh(std::string& field, bool& fresh, char c) {
  if (fresh) {
    field.clear();
    fresh = false;
  }
  AppendCapped(field, std::string(1, c));
}

// B, O, P, T and D: the bank number is typed next, and Enter runs the operation.
void StartBankEntry(Panel& panel, EntryMode mode, const char* prompt) {
  BeginEntry(panel.state, mode);
  panel.state.EntryText.clear();
  Speak(panel, prompt);
}

void CommitBankEntry(Panel& panel) {
  auto& s = panel.state;
  if (s.EntryText.size() == 2 || s.EntryText.size() == 4) {
    switch (s.EntryMode) {
      case EntryMode::kTransfer:
        CopyBank(panel);
        break;
      case EntryMode::kPut:
        PutChannel(panel);
        break;
      case EntryMode::kSort:
        SortBank(panel);
        break;
      default:
        SelectBank(panel);
        break;
    }
  } else {
    Speak(panel, "inv");
  }
  s.EntryMode = EntryMode::kNone;
  s.FreshEntry = false;
}

void CompleteSearchLimit(Panel& panel) {
  auto& s = panel.state;
  if (!KeepTunableLimit(panel)) {
    s.EntryMode = EntryMode::kNone;
    s.FreshEntry = false;
    return;
  }
  if (s.EntryMode == EntryMode::kStep && !SetStep(panel)) {
    if (!s.FreshEntry) s.StepText = s.LimitBefore;
    s.EntryMode = EntryMode::kNone;
    s.FreshEntry = false;
    return;
  }
  if (s.FreshEntry) {
    SpeakNumber(panel, LimitField(s));
  } else {
    ShowSearchLine(panel);
    Speak(panel, "ok");
  }
  s.EntryMode = EntryMode::kNone;
  s.FreshEntry = false;
}

void CommitFrequency(Panel& panel) {
  auto& s = panel.state;
  const std::string typed = std::exchange(s.FrequencyEntry, {});
  s.ResumeCountdown = 0;
  s.FreshFrequency = true;
  const bool leavingScan = IsMemoryScanning(s.ScanState) || IsBankScanning(s.BankState);
  if (!typed.empty() && !TunableFrequency(typed)) {
    // Nothing the receiver cannot tune goes out; the frequency it is on stays.
    Speak(panel, "inv");
    if (!leavingScan) return;
  } else if (!typed.empty()) {
    s.Frequency = typed;
  }
  if (leavingScan) {
    ExitScan(panel);
    return;
  }
  // A refusal has been said by the setting itself; "ok" is only for what the receiver took.
  if (!TuneTypedFrequency(panel)) return;
  Pause(panel);
  if (!SetStep(panel)) return;
  // Enter with nothing typed (ending a search) tunes what the listener has not heard.
  if (typed.empty()) SpeakWhereTo(panel, s.ReceiverFrequency);
  Speak(panel, s.QuitRequested ? "quit" : "ok");
}

// X with the debug switch on: the keys up to Enter are sent as one raw command.
void StartTestEntry(Panel& panel) {
  auto& s = panel.state;
  Speak(panel, "test");
  s.EntryText.clear();
  BeginEntry(s, EntryMode::kTest);
}

void TestEntryKey(Panel& panel, int key) {
  if (key == keys::kEnter)
    TestExchange(panel);
  else
    AppendCapped(panel.state.EntryText, std::string(1, static_cast<char>(key)));
}

// Q completes whatever entry is pending, then the run ends.
void QuitKey(Panel& panel) {
  auto& s = panel.state;
  s.QuitRequested = true;
  s.RunFlag = false;
  CommitEntry(panel);
}

// R: the receiver's search between the limits, or with a bank selected the panel's scan
// through it. A memory scan running ends first, its passed channels released, so that
// neither the scan's reactions nor its passes outlive it.
void SearchKey(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  if (IsMemoryScanning(s.ScanState)) StopMemoryScan(panel);
  if (s.BankState == BankState::kNone)
    StartSearch(panel);
  else
    StartBankScan(panel);
}

// Enter: a running search ends first, then the pending entry is completed.
void EnterKey(Panel& panel) {
  auto& s = panel.state;
  ClearPanelLines(panel);
  if (!IsSearching(s.SearchActive)) return CommitEntry(panel);
  const int refusedBefore = s.RefusedCount;
  EndSearch(panel);
  // Completing a frequency the receiver can tune tunes it; anything else does not, so the
  // receiver is told here that its search is over.
  const bool tunes = s.EntryMode == EntryMode::kNone &&
                     (s.FrequencyEntry.empty() || TunableFrequency(s.FrequencyEntry));
  if (!tunes) {
    SetFrequency(panel, s.Frequency);
  }
  CommitEntry(panel);
  // A receiver that refused the tune searches on, and is followed in its search.
  if (s.RefusedCount != refusedBefore) LearnReceiverState(panel);
}

// A command key leaves a search limit or step entry; the typed text stays, unless the
// receiver could not search from it.
void LeaveSearchLimitEntry(Panel& panel) {
  KeepTunableLimit(panel);
  panel.state.EntryMode = EntryMode::kNone;
  panel.state.FreshEntry = false;
  // The search line shows what is in force now, typed or kept.
  ShowSearchLine(panel);
}

// The keys that leave a memory scan running even when it has only just been started.
// True when the key was one of them.
bool ScanKeepingKey(Panel& panel, int key) {
  auto& s = panel.state;
  switch (key) {
    case 'Z':
      Speak(panel, "ckconfig");
      CheckReceiverBanks(panel);
      return true;
    case 'S':
      StartEntry(panel, EntryMode::kSearchStart, "start");
      return true;
    case 'K':
      if (s.BankState == BankState::kSelected) {
        BeginEntry(s, EntryMode::kKill);
        Speak(panel, "kill");
      }
      return true;
    case 'F':
      SpeakFrequency(panel);
      return true;
    case 'H':
      SpeakAsync(panel, "help");
      return true;
    case keys::kUp:
    case keys::kDown:
      ArrowStep(panel, key);
      return true;
    case 'D':
      if (s.EntryMode == EntryMode::kNone) StartBankEntry(panel, EntryMode::kDelete, "delete");
      return true;
    case 'M':
      SpeakSignalLevel(panel);
      return true;
    default:
      return false;
  }
}

// Most keys leave a memory scan that has only just been started; the receiver is told
// nothing.
void InterruptStartedScan(Panel& panel, int key) {
  auto& s = panel.state;
  if (s.ScanState != ScanState::kStarted || key == keys::kSpace) return;
  StopMemoryScan(panel);
}

void ToggleVoiceSwitch(Panel& panel, bool& on, const char* clip) {
  on = !on;
  Speak(panel, clip);
  Speak(panel, on ? "on" : "off");
}

void ToggleStopMode(Panel& panel) {
  auto& s = panel.state;
  s.StopMode = s.StopMode == StopMode::kStayOnHit ? StopMode::kContinue : StopMode::kStayOnHit;
  Speak(panel, s.StopMode == StopMode::kStayOnHit ? "stmode" : "cont");
  ShowSearchLine(panel);
}

// P: during a memory scan passes the channel whose stop was heard; otherwise puts the
// frequency into a bank.
void PassOrPutKey(Panel& panel) {
  auto& s = panel.state;
  if (IsMemoryScanning(s.ScanState))
    PassChannel(panel);
  else
    StartBankEntry(panel, EntryMode::kPut, "put");
}

void CommandKey(Panel& panel, int key) {
  auto& s = panel.state;
  switch (key) {
    case 'E':
      StartEntry(panel, EntryMode::kSearchEnd, "end");
      return;
    case 'N':
      ToggleVoiceSwitch(panel, s.ScanVoice, "svoice");
      return;
    case 'V':
      ToggleVoiceSwitch(panel, s.TagVoice, "tags");
      return;
    case 'I':
      StartEntry(panel, EntryMode::kStep, "incr");
      return;
    case 'G':
      BeginEntry(s, EntryMode::kRadioBank);
      Speak(panel, "radbank");
      return;
    case 'C':
      ToggleStopMode(panel);
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
      StartBankEntry(panel, EntryMode::kBank, "bank");
      return;
    case 'O':
      StartBankEntry(panel, EntryMode::kSort, "sort");
      return;
    case 'P':
      PassOrPutKey(panel);
      return;
    case 'T':
      StartBankEntry(panel, EntryMode::kTransfer, "transfer");
      return;
    default:
      if (key >= keys::kF1 && key <= keys::kF7) ModeKey(panel, key);
      return;
  }
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
  const char c = static_cast<char>(s.CurrentKey);
  SpeakDigit(panel, c);
  switch (s.EntryMode) {
    case EntryMode::kNone:
      AppendFresh(s.FrequencyEntry, s.FreshFrequency, c);
      break;
    case EntryMode::kSearchStart:
    case EntryMode::kSearchEnd:
    case EntryMode::kStep:
      AppendFresh(LimitField(s), s.FreshEntry, c);
      break;
    case EntryMode::kWriteBank:
      WriteEntryDigit(panel, c);
      break;
    case EntryMode::kTransfer:
    case EntryMode::kPut:
    case EntryMode::kSort:
    case EntryMode::kBank:
    case EntryMode::kDelete:
    case EntryMode::kKill:
      AppendCapped(s.EntryText, std::string(1, c));
      break;
    case EntryMode::kRadioBank:  // spoken, not stored: the entry takes one letter
    case EntryMode::kTest:
      break;
  }
}

void CommitEntry(Panel& panel) {
  auto& s = panel.state;
  switch (s.EntryMode) {
    case EntryMode::kNone:
      CommitFrequency(panel);
      break;
    case EntryMode::kSearchStart:
    case EntryMode::kSearchEnd:
    case EntryMode::kStep:
      CompleteSearchLimit(panel);
      break;
    case EntryMode::kTransfer:
    case EntryMode::kPut:
    case EntryMode::kSort:
    case EntryMode::kBank:
      CommitBankEntry(panel);
      break;
    case EntryMode::kWriteBank:
      CommitWriteEntry(panel);
      break;
    case EntryMode::kDelete:
      DeleteBank(panel);
      break;
    case EntryMode::kKill:
      DeleteChannel(panel);
      break;
    case EntryMode::kRadioBank:
      StartMemoryScan(panel);  // refused with "inv" unless one bank letter was chosen
      break;
    case EntryMode::kTest:
      s.EntryMode = EntryMode::kNone;
      s.FreshEntry = false;
      break;
  }
}

void TestExchange(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  if (s.EntryText.empty()) return;
  SendCommand(panel, s.EntryText);
  std::string exchanged = Cap("TX=" + s.EntryText + " RX=");
  Pause(panel);
  AppendCapped(exchanged, ReadRaw(panel).text);
  MoveTo(panel, 0, 0);
  SetFont(panel, "ARIEL", 10, 700);
  SetColour(panel, platform::kBlack);
  PrintAt(panel, exchanged, std::string(22, ' '), "\r\n");
}

// The tests run in this order; the first that matches decides.
void HandleKey(Panel& panel) {
  auto& s = panel.state;
  const int key = s.CurrentKey;
  // Only a run of steps ends in the frequency said; any other key has its own words.
  s.SteppedFrequencyDueMs = 0;
  if (IsListenerKey(key)) return ListenerKey(panel, key);
  if (key == 'X' && s.EntryMode != EntryMode::kTest && s.DebugSwitch == 1) {
    if (IsSearchLimitEntry(s.EntryMode)) LeaveSearchLimitEntry(panel);
    return StartTestEntry(panel);
  }
  if (key == keys::kEscape) return CancelEntry(panel);
  if (key == keys::kBack) return TakeBackKey(panel);
  if (s.EntryMode == EntryMode::kTest) return TestEntryKey(panel, key);
  if (key == 'Q') return QuitKey(panel);
  if (key == keys::kPoint || keys::IsDigit(key)) return EnterDigit(panel);
  // Before anything a command key would give up: J leaves digits, entries and scans be.
  if (RepeatsMessage(s, key)) return RepeatMessage(panel);
  AbandonTypedFrequency(panel, key);
  if (IsSearchLimitEntry(s.EntryMode) && key != keys::kEnter) LeaveSearchLimitEntry(panel);
  if (s.EntryMode == EntryMode::kWriteBank && key != keys::kEnter) return WriteEntryLetter(panel);
  if (key == 'W') return StartWriteEntry(panel);
  if (key == 'R') return SearchKey(panel);
  if (key == keys::kEnter) return EnterKey(panel);
  if (s.EntryMode == EntryMode::kRadioBank) return ChooseRadioBank(panel);
  if (ScanKeepingKey(panel, key)) return;
  InterruptStartedScan(panel, key);
  CommandKey(panel, key);
}

}  // namespace voskel
