#pragma once
// Every field of the panel, under its own name. Texts hold at most kMaxText characters:
// they are cut where text comes in (file lines, serial reads, typed entries).
#include <array>
#include <cstdint>
#include <string>

#include "core/activity_record.h"
#include "core/bank.h"
#include "core/key_queue.h"
#include "core/panel_modes.h"

namespace voskel {

inline constexpr std::size_t kMaxText = 255;
// Two entries per press (the key and the marker that reads the reply behind it): room for
// 64 presses typed while a long clip plays.
inline constexpr int kKeyQueueSize = 128;
inline constexpr int kPassSlots = 50;

// What the receiver holds, as it last took or reported it: where the display goes back to
// when a typed entry is abandoned or a setting refused.
struct ReceiverHeld {
  std::string ReceiverFrequency;
  std::string ReceiverMode;
  bool AttenuatorOn = false;
  bool NoiseLimiterOn = false;
  // The receiver was put in auto mode (F7): a mode key switches it off first.
  bool AutoModeOn = false;
  int SignalLevel = 0;
  bool Quiet = false;  // the last level reply showed the squelch closed
};

// What the listener set for the search, kept in state.dat from run to run.
struct SearchSettings {
  std::string SearchLow;
  std::string SearchHigh;
  std::string StepText;
  voskel::StopMode StopMode = voskel::StopMode::kContinue;
};

// The multi-key entry being typed, and the frequency digits typed beside it.
struct Entry {
  voskel::EntryMode EntryMode = voskel::EntryMode::kNone;
  // Counts the entries begun, so that one begun again by its own key is told from the one
  // it replaces.
  int EntrySerial = 0;
  std::string EntryText;
  bool FreshFrequency = true;  // no frequency is being typed: the next digit starts one
  // The digits typed for a frequency, apart from Frequency: what the receiver does meanwhile
  // (a search hit, a scan stop) moves Frequency and leaves the typing alone.
  std::string FrequencyEntry;
  bool FreshEntry = false;  // the next digit starts a new limit or step
  // What a search limit or step entry replaced, put back when the typed one is refused or
  // the entry cancelled.
  std::string LimitBefore;
  // W's bank was refused at its letter (and said so): Enter only ends the entry.
  bool WriteRefused = false;
};

// Where a running scan stands between two polls; a scan that ends drops all of it.
struct ScanMotion {
  int ScanHold = 0;
  int ResumeCountdown = 0;
  // The channel of the memory scan's stop last announced ("A05"): what P passes.
  std::string HeardChannel;
  // The level reply that halted the memory scan: its channel is read from it two ticks
  // later (kScanStopRead), once the receiver has settled on the channel.
  std::string ScanStopReply;
};

// The hunts for signals: the receiver's search, its memory scan, the panel's scan through
// a bank, and the channels passed.
struct Hunts : ScanMotion {
  voskel::SearchActive SearchActive = voskel::SearchActive::kOff;
  int FoundCount = 0;
  voskel::ScanState ScanState = voskel::ScanState::kOff;
  voskel::BankState BankState = voskel::BankState::kNone;
  int LastChannelIndex = 0;
  int ChannelIndex = 0;
  int StateQueryCount = 0;  // "RX" queries sent for the current search halt
  std::array<std::string, kPassSlots> PassList{};
  int PassCount = 1;
  // When a pass the receiver did not release is tried again.
  std::int64_t ReleaseDueMs = 0;
};

// Keys waiting to be taken, and the step of the poll cycle the next tick performs.
struct KeyIntake {
  std::array<QueuedInput, kKeyQueueSize> KeyQueue{};
  int KeyCount = 0;
  voskel::PollState PollState = voskel::PollState::kIdle;
};

// What the window shows that is not drawn straight from another group.
struct Display {
  std::string MeterLine = "Connecting";
  std::string MeterBar = std::string(18, '*');
  std::string ModeName;
  std::string Frequency;
  // What the selected-bank lines show now, so that they are drawn only when it changes.
  std::string BankLineShown;
  std::string BankNameShown;
};

// Every field of the panel, in its groups; a group starts afresh by assignment (Reset).
struct PanelState : ReceiverHeld, SearchSettings, Entry, Hunts, KeyIntake, Display {
  // Start-up, connection and shutdown
  std::string VersionText;
  std::string TitleLine;
  std::string CreditLine;
  std::string VoiceDir;
  std::string FixedVoiceDir;
  bool RunFlag = false;
  bool QuitRequested = false;
  voskel::ConnectState ConnectState = voskel::ConnectState::kUnknown;
  std::string BankFileName = "bank00.dat";
  int PortNumber = 0;
  int BaudRate = 0;
  bool ScanVoice = true;
  bool TagVoice = true;  // a channel's tag is spoken where it is drawn; V switches, for the run

  // Configuration and debug log
  std::string PortText;
  std::string SpeedText;
  // The digits read from VOSKEL.CFG as they stand: 0 silences the clips, and only 1 turns
  // the log on (any other digit leaves it off).
  int VoiceSwitch = 0;
  int DebugSwitch = 0;

  // Command exchange and key intake
  // The last command sent asked for a memory listing: whatever is read next is logged whole.
  bool ListingAsked = false;
  // Answers "?" this run: whoever ran an operation can tell whether the receiver refused
  // any of what it sent.
  int RefusedCount = 0;
  // Level polls in a row that got no answer at all: a few make the receiver lost.
  int UnansweredPolls = 0;
  // Start-up's settings met a receiver that was not there yet: they go when it answers.
  bool SettingsUnsent = false;
  bool ReceiverStateUnsure = false;  // a setting went unanswered: ask the receiver when it answers
  bool KeyLatch = false;  // a key is held down: its auto-repeat is not a new press
  // Z's check or W's write is under way: the receiver's banks are being read or written.
  bool BankJobRunning = false;
  std::int64_t ReconnectDueMs = 0;  // clock time of the next try to reach a lost receiver

  // Bank files
  // The bank in memory, of BankFileName: the one selected or scanned, or the search list.
  voskel::Bank Bank;
  // The settings state.dat holds, as KeepStoredState last wrote them, and the passes
  // passes.dat holds.
  std::string KeptState;
  std::string KeptPasses;
  // The receiver banks' sizes, A to J, as Z last read or set them; 0 while unknown.
  std::array<int, 10> ReceiverBankSizes{};

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

// A group of fields starts afresh, every field at its default, in one assignment:
// Reset<Hunts>(state).
template <class Group>
void Reset(Group& group) {
  group = Group{};
}

// A multi-key entry begins: the keys after it type into it.
inline void BeginEntry(PanelState& s, EntryMode mode) {
  s.EntryMode = mode;
  ++s.EntrySerial;
}

}  // namespace voskel
