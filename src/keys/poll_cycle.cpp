#include "keys/poll_cycle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "banks/stored_state.h"
#include "core/text.h"
#include "keys/entry_edit.h"
#include "keys/handle_key.h"
#include "keys/key_message.h"
#include "keys/key_table.h"
#include "keys/listening.h"
#include "keys/reconnect.h"
#include "link/exchange.h"
#include "link/reply_fields.h"
#include "panel/layout.h"
#include "panel/panel_lines.h"
#include "panel/pen.h"
#include "platform/virtual_keys.h"
#include "receiver/receiver_settings.h"
#include "scan/activity_log.h"
#include "scan/scan_exit.h"
#include "scan/scan_watch.h"
#include "voice/message.h"
#include "voice/voice.h"
#include "voice/voice_settings.h"

namespace voskel {
namespace {

constexpr std::int64_t kFirstAnswerWaitMs = 500;
constexpr std::int64_t kFirstAnswerStepMs = 20;

// A key press and the marker behind it; false when they do not fit.
bool QueuePress(PanelState& s, KeyCode key) {
  if (s.KeyCount + 2 > kKeyQueueSize) return false;
  s.KeyQueue[static_cast<std::size_t>(s.KeyCount)] = QueuedInput::Press(key);
  s.KeyQueue[static_cast<std::size_t>(s.KeyCount + 1)] = QueuedInput::ReadReply();
  s.KeyCount += 2;
  return true;
}

void QueueKey(PanelState& s, KeyCode key) {
  if (s.KeyLatch) return;  // auto-repeat of a held key
  s.KeyLatch = true;
  // A key press that finds no room is dropped whole; the marker behind the last press
  // taken says where: what was being typed is not what the listener typed, so the entry
  // ends there with "inv", and no later Enter runs on what remains.
  if (!QueuePress(s, key) && s.KeyCount > 0)
    s.KeyQueue[static_cast<std::size_t>(s.KeyCount - 1)] = QueuedInput::KeysLost();
}

// A few polls in a row without any answer: the receiver was switched off, or its line
// went quiet, though the port stays open.
constexpr int kPollsBeforeLost = 4;

// The key or poll step that needed the receiver has stopped where it was: the listener is
// told, once for that key or step, and what it left running is ended here. What is being
// typed needs no receiver and stays typed.
void OnReceiverLost(Panel& panel) {
  auto& s = panel.state;
  Speak(panel, "rnc");
  AbandonScans(panel);
  s.PollState = PollState::kIdle;
  s.UnansweredPolls = 0;
  s.ReconnectDueMs = panel.clock.NowMs() + kReconnectEveryMs;
  ShowReceiverLost(panel);
}

// Counts the polls that got nothing back; throws ReceiverLost when there were too many.
void NoteAnsweredPoll(Panel& panel, const Reply& reply) {
  auto& s = panel.state;
  s.UnansweredPolls = reply.byteCount > 0 ? 0 : s.UnansweredPolls + 1;
  if (s.ConnectState != ConnectState::kConnected || s.UnansweredPolls < kPollsBeforeLost) return;
  s.ConnectState = ConnectState::kLost;
  throw ReceiverLost{};
}

// What was being typed when presses were lost is not what the listener typed.
void EndEntryAtLostKeys(Panel& panel) {
  if (EntryInProgress(panel.state) && HoldsEntryMessage(panel)) ResumeHeldMessage(panel);
  Speak(panel, "inv");
  UndoEntry(panel.state);
  FinishMessage(panel);
}

// A key that comes before the first level reply may only have overtaken it: the
// receiver gets a short while to answer before the panel gives up on it.
bool AwaitFirstAnswer(Panel& panel) {
  auto& s = panel.state;
  SendCommand(panel, "LM");
  for (std::int64_t waited = 0; waited < kFirstAnswerWaitMs; waited += kFirstAnswerStepMs) {
    if (panel.ports.BytesWaiting(s.PortNumber) > 0) break;
    panel.clock.SleepMs(kFirstAnswerStepMs);
  }
  if (panel.ports.BytesWaiting(s.PortNumber) <= 0) return false;
  const Reply reply = ReadReply(panel);
  // Any answer at all shows a receiver on the line, even one the panel cannot read.
  if (s.ConnectState == ConnectState::kUnknown) NoteReply(panel, reply.text);
  return true;
}

// The key, with the rules for a receiver that never answered or went away.
void TakeKey(Panel& panel, KeyCode key);

std::string KeyLogText(KeyCode code) {
  if (code == keys::kEnter) return "C/R";
  if (code == keys::kSpace) return "SPC";
  if (code == keys::kEscape) return "ESC";
  if (code == keys::kBack) return "BKSP";
  return std::string(1, static_cast<char>(code));
}

}  // namespace

void OnPanelEvent(Panel& panel, const platform::Event& event) {
  auto& s = panel.state;
  switch (event.kind) {
    case platform::Event::Kind::Close:
      s.RunFlag = false;
      break;
    case platform::Event::Kind::KeyUp:
      s.KeyLatch = false;
      break;
    case platform::Event::Kind::KeyDown:
      // Whatever is being said gives way to the listener at once, queued keys or not.
      if (!s.KeyLatch) CutSpeechShort(panel);
      QueueKey(s, event.key);
      break;
    case platform::Event::Kind::Timer:
      try {
        PollCycle(panel);
      } catch (const ReceiverLost&) {
        OnReceiverLost(panel);
      }
      if (panel.remote != nullptr) panel.remote->Serve(panel);
      SaySteppedFrequency(panel);
      // A poll reaction's words are a message of their own; a key's have been placed.
      FinishMessage(panel);
      KeepStoredState(panel);
      KeepVoiceSettings(panel);
      KeepPassList(panel);
      break;
  }
}

void TakeRemoteSets(Panel& panel) {
  auto& s = panel.state;
  if (panel.remote == nullptr || !panel.remote->HasSets()) return;
  // Between a level reply read and the next query the line is free as well.
  const bool lineFree = s.PollState == PollState::kIdle || s.PollState == PollState::kAskLevel;
  if (!lineFree || s.KeyCount != 0) return;
  try {
    panel.remote->RunSets(panel);
  } catch (const ReceiverLost&) {
    OnReceiverLost(panel);
  }
  FinishMessage(panel);
  KeepStoredState(panel);
}

void KeyStep(Panel& panel) {
  auto& s = panel.state;
  if (s.KeyCount <= 0) return;
  const QueuedInput input = s.KeyQueue[0];
  std::copy(s.KeyQueue.begin() + 1, s.KeyQueue.begin() + s.KeyCount, s.KeyQueue.begin());
  s.KeyCount -= 1;
  s.KeyQueue[static_cast<std::size_t>(s.KeyCount)] = QueuedInput{};
  if (input.kind != QueuedInput::Kind::kKey) {
    ReadReply(panel);
    if (input.kind == QueuedInput::Kind::kKeysLost) EndEntryAtLostKeys(panel);
    return;
  }
  StartLine(panel, ScreenLine::kKeyStart);
  const KeyCode key = input.key == keys::kFullStop ? keys::kPoint : input.key;
  const std::string logLine = "**" + KeyLogText(key);
  if (key == keys::kSpace) SendResumeByte(panel);
  WriteLogLine(panel, logLine);
  const KeyMessage message = BeginKeyMessage(panel, key);
  s.BankJobRunning = KeyRowFor(s, key).holdsBanks;
  try {
    TakeKey(panel, key);
  } catch (...) {
    s.BankJobRunning = false;
    throw;
  }
  s.BankJobRunning = false;
  EndKeyMessage(panel, message);
}

namespace {

void TakeKey(Panel& panel, KeyCode key) {
  auto& s = panel.state;
  // Saying the last message again, or choosing what is heard, asks nothing of the receiver,
  // whether it is there or not.
  if (!KeyRowFor(s, key).needsReceiver) {
    HandleKey(panel, key);
    return;
  }
  if (s.ConnectState == ConnectState::kUnknown && !AwaitFirstAnswer(panel)) {
    Speak(panel, "rnc");
    s.ConnectState = ConnectState::kLost;
    s.RunFlag = false;
    return;
  }
  // With the receiver lost, typing goes on; a key that needs the receiver says so where it
  // needs it. Q still ends the run and stores the state, also where it would be typed
  // into a raw command no receiver can take.
  if (IsReceiverLost(s) && key == 'Q' && s.EntryMode == EntryMode::kTest)
    s.EntryMode = EntryMode::kNone;
  const EntryMode pending = s.EntryMode;
  const bool endsEntry = KeyRowFor(s, key).entry == EntryUse::kEndsIt;
  try {
    HandleKey(panel, key);
  } catch (const ReceiverLost&) {
    // A multi-key entry this key was completing cannot be: it ends as it was before it
    // began. Digits typed for a frequency beside it stay typed.
    if (endsEntry && pending != EntryMode::kNone) {
      s.EntryMode = pending;
      UndoEntry(s);
    }
    OnReceiverLost(panel);
    if (s.QuitRequested) Speak(panel, "quit");
  }
}

}  // namespace

std::string MeterLineFor(const std::string& meterBar, int level) {
  level = std::max(level, 0);
  const std::size_t bar = static_cast<std::size_t>(std::clamp(level - 1, 0, 18));
  std::string line = meterBar.substr(0, std::min(bar, meterBar.size()));
  line += level < 10 ? static_cast<char>('0' + level) : '9';
  for (int threshold : {9, 10, 11, 12})
    if (level > threshold) line += '+';
  line += '>';
  line += std::string(17, ' ');
  return line;
}

void UpdateMeter(Panel& panel, const std::string& reply) {
  auto& s = panel.state;
  if (reply.empty()) return;
  const std::optional<LevelReport> level = ReadLevelReport(reply);
  // A channel report stands in for the level while a memory scan holds on a signal. Any
  // other reply ("LM?", a search's state line read late) is no sign of a signal: the
  // squelch counts as closed, so that nothing halts or is recorded on it, and the meter
  // stays as it was.
  if (!level && !IsChannelReport(reply)) {
    s.Quiet = true;
    return;
  }
  StartLine(panel, ScreenLine::kMeter);
  s.Quiet = level && level->squelchClosed;
  // A channel report keeps the level of the last poll.
  if (level) s.SignalLevel = level->raw / 12;
  if (s.Quiet) {
    s.SignalLevel = 0;
    s.MeterLine = ">" + std::string(26, ' ');
  } else {
    s.MeterLine = MeterLineFor(s.MeterBar, s.SignalLevel);
  }
  PrintAt(panel, s.MeterLine);
  SetColour(panel, platform::kBlack);
}

namespace {

// The level reply: the meter, the tone, the activity log and the scan and search watch
// follow it. A receiver that has answered gets the settings it missed, or is asked what it
// holds when a setting went unanswered.
void ReadLevel(Panel& panel) {
  auto& s = panel.state;
  const bool wasQuiet = s.Quiet;
  const Reply reply = ReadReply(panel);
  NoteAnsweredPoll(panel, reply);
  UpdateMeter(panel, reply.text);
  SoundSignalTone(panel);
  NoteActivity(panel, reply.text);
  s.PollState = RunScanWatch(panel, reply.text);
  if (s.PollState == PollState::kAskFrequency) s.StateQueryCount = 0;
  if (s.SettingsUnsent && s.ConnectState == ConnectState::kConnected) {
    GiveSettings(panel);
    // The settings' answers came after the reply that halted a scan: the halt is read
    // from the next polls' replies, as when its report came cut short.
    s.ScanStopReply.clear();
  } else if (s.ReceiverStateUnsure && s.UnansweredPolls == 0 &&
             s.ConnectState == ConnectState::kConnected && s.PollState == PollState::kIdle &&
             s.EntryMode == EntryMode::kNone && s.FrequencyEntry.empty()) {
    s.ReceiverStateUnsure = false;
    LearnReceiverState(panel);
  }
  SaySquelchChange(panel, wasQuiet);
}

}  // namespace

void PollCycle(Panel& panel) {
  auto& s = panel.state;
  switch (s.PollState) {
    case PollState::kIdle:
      // The listener's keys first; a client's sets take the turn of a step between two
      // level polls, so that the meter keeps its pace.
      if (s.KeyCount != 0)
        KeyStep(panel);
      else if (panel.remote != nullptr && panel.remote->HasSets())
        panel.remote->RunSets(panel);
      else
        ReleaseLeftPasses(panel);
      s.PollState = s.KeyCount != 0 ? PollState::kIdle : PollState::kAskLevel;
      break;
    case PollState::kAskLevel:
      if (IsReceiverLost(s)) {
        SeekLostReceiver(panel);
        s.PollState = PollState::kIdle;
        break;
      }
      SendCommand(panel, "LM");
      s.PollState = PollState::kReadLevel;
      break;
    case PollState::kReadLevel:
      ReadLevel(panel);
      break;
    case PollState::kAskFrequency:
      SendCommand(panel, "RX");
      s.StateQueryCount += 1;
      s.PollState = PollState::kReadFrequency;
      break;
    case PollState::kReadFrequency:
      if (ReadBackSearchFrequency(panel, ReadReply(panel).text)) {
        s.PollState = PollState::kIdle;
      } else {
        // A receiver that never reports its frequency must not hold the keys back for ever.
        s.PollState =
            s.StateQueryCount >= kMaxStateQueries ? PollState::kIdle : PollState::kAskFrequency;
      }
      break;
    case PollState::kScanStopWait:
      s.PollState = PollState::kScanStopRead;
      break;
    case PollState::kScanStopRead:
      ReadBackScanStop(panel);
      s.PollState = PollState::kIdle;
      break;
  }
  ShowSelectedBank(panel);
}

}  // namespace voskel
