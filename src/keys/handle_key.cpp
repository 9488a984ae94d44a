#include "keys/handle_key.h"

#include <cmath>
#include <iterator>
#include <string>
#include <utility>

#include "banks/bank_keys.h"
#include "banks/bank_transfer.h"
#include "core/text.h"
#include "keys/entry_edit.h"
#include "keys/key_table.h"
#include "keys/listening.h"
#include "link/exchange.h"
#include "panel/layout.h"
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

void ArrowStep(Panel& panel, KeyCode key) {
  auto& s = panel.state;
  if (s.BankState == BankState::kSelected) {
    StepChannel(panel, key == keys::kUp ? 1 : -1);
    return;
  }
  if (StepFrequency(panel, key == keys::kUp ? kArrowStepHz : -kArrowStepHz))
    NoteSteppedFrequency(panel);
}

void FineStep(Panel& panel, KeyCode key) {
  if (StepFrequency(panel, key == keys::kRight ? kFineStepHz : -kFineStepHz))
    NoteSteppedFrequency(panel);
}

void PageStep(Panel& panel, KeyCode key) {
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

void ModeKey(Panel& panel, Mode mode) {
  // A refused mode leaves the mode line showing the receiver's own.
  SelectMode(panel, mode);
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

void TypeTestKey(Panel& panel, KeyCode key) {
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

// The commands of the key table below that are more than one call.
void CheckBanksKey(Panel& panel, KeyCode) {
  Speak(panel, "ckconfig");
  CheckReceiverBanks(panel);
}

// K: with a bank selected, Enter next deletes the current channel; else K does nothing.
void KillKey(Panel& panel, KeyCode) {
  auto& s = panel.state;
  if (s.BankState != BankState::kSelected) return;
  BeginEntry(s, EntryMode::kKill);
  Speak(panel, "kill");
}

// D begins no entry over another one.
void DeleteKey(Panel& panel, KeyCode) {
  if (panel.state.EntryMode == EntryMode::kNone)
    StartBankEntry(panel, EntryMode::kDelete, "delete");
}

void RadioBankKey(Panel& panel, KeyCode) {
  BeginEntry(panel.state, EntryMode::kRadioBank);
  Speak(panel, "radbank");
}

bool DebugTestKey(const PanelState& s, KeyCode) {
  return s.EntryMode != EntryMode::kTest && s.DebugSwitch == 1;
}

bool InTestEntry(const PanelState& s, KeyCode) {
  return s.EntryMode == EntryMode::kTest;
}

bool InWriteEntry(const PanelState& s, KeyCode) {
  return s.EntryMode == EntryMode::kWriteBank;
}

bool InRadioBankEntry(const PanelState& s, KeyCode) {
  return s.EntryMode == EntryMode::kRadioBank;
}

// J says the last message again, except where it is typed: a bank letter after G, the
// bank letter of the write entry, and any key of the raw test entry.
bool RepeatsMessage(const PanelState& s, KeyCode) {
  switch (s.EntryMode) {
    case EntryMode::kTest:
    case EntryMode::kRadioBank:
      return false;
    case EntryMode::kWriteBank:
      return s.EntryText.size() != 2;
    default:
      return true;
  }
}

// A command that needs no key, as the table calls it.
template <void (*command)(Panel&)>
void Run(Panel& panel, KeyCode) {
  command(panel);
}

template <Mode mode>
void ModeKeyOf(Panel& panel, KeyCode) {
  ModeKey(panel, mode);
}

using enum EntryUse;
using enum RefusedWhile;

// Every key, in the order in which the rows are tried: the first row for the key whose
// state holds decides. The rows down to J act before any entry in progress is given up;
// the keys of the rows after them with kBeside give up a search limit or step entry first
// (see EntryUse). The last row takes every key no row above names.
// clang-format off
constexpr KeyRow kKeyRows[] = {
    // What the listener hears beside the messages (listening.h): in every state.
    {.keys = OneKey(keys::kF8), .entry = kLeavesBe, .needsReceiver = false,
     .run = Run<NextVerbosity>},
    {.keys = OneKey(keys::kF9), .entry = kLeavesBe, .needsReceiver = false,
     .run = Run<ToggleSignalTone>},
    {.keys = OneKey('X'), .applies = DebugTestKey, .run = Run<StartTestEntry>},
    {.keys = OneKey(keys::kEscape), .entry = kTypesInto, .run = Run<CancelEntry>},
    {.keys = OneKey(keys::kBack), .entry = kTypesInto, .run = Run<TakeBackKey>},
    {.keys = OneKey(keys::kEnter), .applies = InTestEntry, .entry = kEndsIt,
     .run = Run<TestExchange>},
    {.keys = kAnyKey, .applies = InTestEntry, .entry = kTypesInto, .run = TypeTestKey},
    {.keys = OneKey('Q'), .entry = kEndsIt, .run = Run<QuitKey>},
    {.keys = {'0', '9'}, .entry = kTypesInto, .run = EnterDigit},
    {.keys = OneKey(keys::kPoint), .entry = kTypesInto, .run = EnterDigit},
    // Before anything a command key would give up: J leaves digits, entries and scans be.
    {.keys = OneKey('J'), .applies = RepeatsMessage, .entry = kLeavesBe, .needsReceiver = false,
     .run = Run<RepeatMessage>},
    {.keys = OneKey(keys::kEnter), .applies = InWriteEntry, .entry = kEndsIt, .holdsBanks = true,
     .run = Run<EnterKey>},
    {.keys = OneKey(keys::kEnter), .entry = kEndsIt, .run = Run<EnterKey>},
    // After W's digits and G, a letter key names a bank: it is typed, not a command. Z,
    // refused there, still holds the banks while its refusal is said, as Z's check would.
    {.keys = OneKey('Z'), .applies = InWriteEntry, .entry = kTypesInto, .holdsBanks = true,
     .run = WriteEntryLetter},
    {.keys = kAnyKey, .applies = InWriteEntry, .entry = kTypesInto, .run = WriteEntryLetter},
    {.keys = OneKey('W'), .run = Run<StartWriteEntry>},
    {.keys = OneKey('R'), .movesFrequency = true, .run = Run<SearchKey>},
    {.keys = OneKey('Z'), .applies = InRadioBankEntry, .entry = kTypesInto, .holdsBanks = true,
     .run = ChooseRadioBank},
    {.keys = kAnyKey, .applies = InRadioBankEntry, .entry = kTypesInto, .run = ChooseRadioBank},
    // The command keys. These leave a memory scan just started running:
    {.keys = OneKey('Z'), .holdsBanks = true, .run = CheckBanksKey},
    {.keys = OneKey('S'),
     .run = [](Panel& p, KeyCode) { StartEntry(p, EntryMode::kSearchStart, "start"); }},
    {.keys = OneKey('K'), .run = KillKey},
    {.keys = OneKey('F'), .run = Run<SpeakFrequency>},
    {.keys = OneKey('H'), .run = [](Panel& p, KeyCode) { SpeakAsync(p, "help"); }},
    // With a bank selected, through its channels; else by 1 kHz.
    {.keys = OneKey(keys::kUp), .refused = kSearchOrScan, .movesFrequency = true,
     .run = ArrowStep},
    {.keys = OneKey(keys::kDown), .refused = kSearchOrScan, .movesFrequency = true,
     .run = ArrowStep},
    {.keys = OneKey('D'), .run = DeleteKey},
    {.keys = OneKey('M'), .run = Run<SpeakSignalLevel>},
    // No command: the receiver's resume byte goes out as the key is taken (KeyStep).
    {.keys = OneKey(keys::kSpace)},
    // These end a memory scan just started first:
    {.keys = OneKey('E'), .endsStartedScan = true,
     .run = [](Panel& p, KeyCode) { StartEntry(p, EntryMode::kSearchEnd, "end"); }},
    {.keys = OneKey('N'), .endsStartedScan = true,
     .run = [](Panel& p, KeyCode) { ToggleVoiceSwitch(p, p.state.ScanVoice, "svoice"); }},
    {.keys = OneKey('V'), .endsStartedScan = true,
     .run = [](Panel& p, KeyCode) { ToggleVoiceSwitch(p, p.state.TagVoice, "tags"); }},
    {.keys = OneKey('I'), .endsStartedScan = true,
     .run = [](Panel& p, KeyCode) { StartEntry(p, EntryMode::kStep, "incr"); }},
    {.keys = OneKey('G'), .endsStartedScan = true, .movesFrequency = true, .run = RadioBankKey},
    {.keys = OneKey('C'), .endsStartedScan = true, .run = Run<ToggleStopMode>},
    // By 100 Hz, and by the step; never through a selected bank.
    {.keys = OneKey(keys::kLeft), .endsStartedScan = true, .refused = kSearchScanOrBank,
     .movesFrequency = true, .run = FineStep},
    {.keys = OneKey(keys::kRight), .endsStartedScan = true, .refused = kSearchScanOrBank,
     .movesFrequency = true, .run = FineStep},
    {.keys = {keys::kPageUp, keys::kPageDown}, .endsStartedScan = true,
     .refused = kSearchScanOrBank, .movesFrequency = true, .run = PageStep},
    {.keys = OneKey('A'), .endsStartedScan = true, .run = Run<ToggleAttenuator>},
    {.keys = OneKey('L'), .endsStartedScan = true, .run = Run<ToggleNoiseLimiter>},
    {.keys = OneKey('B'), .endsStartedScan = true, .movesFrequency = true,
     .run = [](Panel& p, KeyCode) { StartBankEntry(p, EntryMode::kBank, "bank"); }},
    {.keys = OneKey('O'), .endsStartedScan = true,
     .run = [](Panel& p, KeyCode) { StartBankEntry(p, EntryMode::kSort, "sort"); }},
    {.keys = OneKey('P'), .endsStartedScan = true, .run = Run<PassOrPutKey>},
    {.keys = OneKey('T'), .endsStartedScan = true,
     .run = [](Panel& p, KeyCode) { StartBankEntry(p, EntryMode::kTransfer, "transfer"); }},
    {.keys = OneKey(keys::kF1), .endsStartedScan = true, .run = ModeKeyOf<Mode::FM>},
    {.keys = OneKey(keys::kF1 + 1), .endsStartedScan = true, .run = ModeKeyOf<Mode::AM>},
    {.keys = OneKey(keys::kF1 + 2), .endsStartedScan = true, .run = ModeKeyOf<Mode::LSB>},
    {.keys = OneKey(keys::kF1 + 3), .endsStartedScan = true, .run = ModeKeyOf<Mode::USB>},
    {.keys = OneKey(keys::kF1 + 4), .endsStartedScan = true, .run = ModeKeyOf<Mode::WFM>},
    {.keys = OneKey(keys::kF1 + 5), .endsStartedScan = true, .run = ModeKeyOf<Mode::CW>},
    {.keys = OneKey(keys::kF7), .endsStartedScan = true, .run = ModeKeyOf<Mode::Auto>},
    // Every other key has no command (U, Y, X without the debug switch, ...).
    {.keys = kAnyKey, .endsStartedScan = true},
};
// clang-format on

bool Refused(const PanelState& s, RefusedWhile refused) {
  const bool searchOrScan = IsSearching(s.SearchActive) || IsMemoryScanning(s.ScanState);
  switch (refused) {
    case kNever:
      return false;
    case kSearchOrScan:
      return searchOrScan;
    case kSearchScanOrBank:
      return searchOrScan || s.BankState != BankState::kNone;
  }
  return false;
}

}  // namespace

long long PageStepHz(const std::string& stepText) {
  const std::size_t point = stepText.find('.');
  if (point == std::string::npos) return RoundedHz(std::round(ReadNumber(stepText)) * 1000);
  return RoundedHz(ReadNumber(std::string_view(stepText).substr(0, point)) * 1000) +
         std::llround(ReadNumber(SubFrom(stepText, point + 1, 1)) * 100);
}

void EnterDigit(Panel& panel, KeyCode key) {
  auto& s = panel.state;
  const char c = static_cast<char>(key);
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
  StartLine(panel, ScreenLine::kLog);
  PrintAt(panel, exchanged, std::string(22, ' '), "\r\n");
}

const KeyRow& KeyRowFor(const PanelState& s, KeyCode key) {
  for (const KeyRow& row : kKeyRows) {
    if (key < row.keys.first || key > row.keys.last) continue;
    if (row.applies == nullptr || row.applies(s, key)) return row;
  }
  return std::end(kKeyRows)[-1];
}

void HandleKey(Panel& panel, KeyCode key) {
  auto& s = panel.state;
  const KeyRow& row = KeyRowFor(s, key);
  // Only a run of steps ends in the frequency said; any other key has its own words.
  s.SteppedFrequencyDueMs = 0;
  if (row.entry == EntryUse::kBeside) {
    if (row.movesFrequency) AbandonTypedFrequency(panel);
    if (IsSearchLimitEntry(s.EntryMode)) LeaveSearchLimitEntry(panel);
  }
  // The scan just started is left as it stands: the receiver is told nothing.
  if (row.endsStartedScan && s.ScanState == ScanState::kStarted) StopMemoryScan(panel);
  if (Refused(s, row.refused)) return Speak(panel, "inv");
  if (row.run != nullptr) row.run(panel, key);
}

}  // namespace voskel
