#pragma once
// Every field of the panel, under its own name. Texts hold at most kMaxText characters:
// they are cut where text comes in (file lines, serial reads, typed entries).
#include <array>
#include <cstdint>
#include <string>

#include "core/activity_record.h"
#include "core/bank.h"
#include "core/panel_modes.h"

namespace voskel {

inline constexpr std::size_t kMaxText = 255;
// Two entries per press (the key and the marker that reads the reply behind it): room for
// 64 presses typed while a long clip plays.
inline constexpr int kKeyQueueSize = 128;
inline constexpr int kPassSlots = 50;

struct PanelState {
  // Start-up, connection and shutdown
  std::string VersionText;
  std::string TitleLine;
  std::string CreditLine;
  std::string VoiceDir;
  std::string FixedVoiceDir;
  bool RunFlag = false;
  bool QuitRequested = false;
  voskel::ConnectState ConnectState = voskel::ConnectState::kUnknown;
  std::string MeterLine;
  std::string MeterBar;
  std::string BankFileName = "bank00.dat";
  std::string ModeName;
  std::string Frequency;
  // What the receiver last took or reported: where the display goes back to when a typed
  // entry is abandoned or a setting refused.
  std::string ReceiverFrequency;
  std::string ReceiverMode;
  std::string SearchLow;
  std::string SearchHigh;
  std::string StepText;
  std::string TuneText;
  int PortNumber = 0;
  int BaudRate = 0;
  bool ScanVoice = true;
  bool TagVoice = true;  // a channel's tag is spoken where it is drawn; V switches, for the run
  bool AttenuatorOn = false;
  // The receiver was put in auto mode (F7): a mode key switches it off first.
  bool AutoModeOn = false;

  // Configuration and debug log
  std::string PortText;
  std::string SpeedText;
  // The digits read from VOSKEL.CFG as they stand: 0 silences the clips, and only 1 turns
  // the log on (any other digit leaves it off).
  int VoiceSwitch = 0;
  int DebugSwitch = 0;
  std::string LogLine;

  // Command exchange
  std::string CommandText;
  std::string ReplyText;
  int ByteCount = 0;
  // Answers "?" this run: whoever ran an operation can tell whether the receiver refused
  // any of what it sent.
  int RefusedCount = 0;
  // Level polls in a row that got no answer at all: a few make the receiver lost.
  int UnansweredPolls = 0;
  // Start-up's settings met a receiver that was not there yet: they go when it answers.
  bool SettingsUnsent = false;
  bool ReceiverStateUnsure = false;  // a setting went unanswered: ask the receiver when it answers

  // Key intake and poll cycle
  std::array<int, kKeyQueueSize> KeyQueue{};
  int KeyCount = 0;
  bool KeyLatch = false;
  int CurrentKey = 0;
  voskel::PollState PollState = voskel::PollState::kIdle;
  // Z's check or W's write is under way: the receiver's banks are being read or written.
  bool BankJobRunning = false;
  int SignalLevel = 0;
  bool Quiet = false;       // the last level reply showed the squelch closed
  int StateQueryCount = 0;  // "RX" queries sent for the current search halt
  std::int64_t ReconnectDueMs = 0;  // clock time of the next try to reach a lost receiver

  // Command keys
  voskel::EntryMode EntryMode = voskel::EntryMode::kNone;
  // Counts the entries begun, so that one begun again by its own key is told from the one
  // it replaces.
  int EntrySerial = 0;
  std::string EntryText;
  bool FreshFrequency = true;  // no frequency is being typed: the next digit starts one
  // The digits typed for a frequency, apart from Frequency: what the receiver does meanwhile
  // (a search hit, a scan stop) moves Frequency and leaves the typing alone.
  std::string FrequencyEntry;
  bool FreshEntry = false;     // the next digit starts a new limit or step
  // What a search limit or step entry replaced, put back when the typed one is refused or
  // the entry cancelled.
  std::string LimitBefore;
  // W's bank was refused at its letter (and said so): Enter only ends the entry.
  bool WriteRefused = false;

  // Receiver settings. Hz are 64-bit: the receiver tunes to 3000 MHz.
  std::int64_t FrequencyHz = 0;
  bool NoiseLimiterOn = false;

  // Bank files
  // The bank in memory, of BankFileName: the one selected or scanned, or the search list.
  voskel::Bank Bank;
  // The settings state.dat holds, as KeepStoredState last wrote them, and the passes
  // passes.dat holds.
  std::string KeptState;
  std::string KeptPasses;
  // The receiver banks' sizes, A to J, as Z last read or set them; 0 while unknown.
  std::array<int, 10> ReceiverBankSizes{};
  int IoResult = 0;
  int LastChannelIndex = 0;
  int ChannelIndex = 0;
  voskel::BankState BankState = voskel::BankState::kNone;
  // What the selected-bank lines show now, so that they are drawn only when it changes.
  std::string BankLineShown;
  std::string BankNameShown;

  // Scan and search
  voskel::SearchActive SearchActive = voskel::SearchActive::kOff;
  int FoundCount = 0;
  voskel::StopMode StopMode = voskel::StopMode::kContinue;
  int ResumeCountdown = 0;
  voskel::ScanState ScanState = voskel::ScanState::kOff;
  int ScanHold = 0;
  std::array<std::string, kPassSlots> PassList{};
  int PassCount = 1;
  // The channel of the memory scan's stop last announced ("A05"): what P passes.
  std::string HeardChannel;
  // When a pass the receiver did not release is tried again.
  std::int64_t ReleaseDueMs = 0;

  // The activity log
  ActivityWatch Activity;

  // What the listener chose to hear, kept in voice.cfg from run to run
  voskel::Voice Voice = voskel::Voice::kClips;
  voskel::Verbosity Verbosity = voskel::Verbosity::kAsEver;
  bool SignalTone = false;  // a quiet tone at each level poll, its pitch the level's
  std::string KeptVoiceSettings;  // what voice.cfg holds, as last read or written
  // When the frequency reached by the arrows or Page keys is said: half a second after the
  // last step, so that a run of steps ends in one frequency. 0: nothing to say.
  std::int64_t SteppedFrequencyDueMs = 0;
};

// A multi-key entry begins: the keys after it type into it.
inline void BeginEntry(PanelState& s, EntryMode mode) {
  s.EntryMode = mode;
  ++s.EntrySerial;
}

}  // namespace voskel
