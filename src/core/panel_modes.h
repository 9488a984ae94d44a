#pragma once
// The panel's modes and phases by name. The underlying values are the numbers the
// receiver's old panel used for them, so a reader comparing with that table finds them;
// none of them is written to a file or sent to the receiver.

namespace voskel {

// The multi-key command that is pending: what the digits and letters typed next are for,
// and what Enter completes.
enum class EntryMode {
  kNone = 0,         // digits type a frequency, Enter tunes it
  kSearchStart = 1,  // S: the search's lower limit
  kSearchEnd = 2,    // E: the search's upper limit
  kStep = 3,         // I: the step
  kTransfer = 4,     // T: copy or merge a bank
  kPut = 5,          // P: the current frequency into a bank
  kSort = 6,         // O: sort a bank
  kBank = 7,         // B: select a bank
  kRadioBank = 8,    // G: the letter of the receiver bank to scan
  kWriteBank = 9,    // W: a bank file into a receiver bank
  kDelete = 10,      // D: delete a bank file
  kKill = 11,        // K: delete the current channel of the selected bank
  kTest = 12,        // X: a raw command to the receiver (debug switch on)
};

// S, E and I: the digits go into a search limit or the step, not into EntryText.
inline bool IsSearchLimitEntry(EntryMode m) {
  return m == EntryMode::kSearchStart || m == EntryMode::kSearchEnd || m == EntryMode::kStep;
}
// T, P, O and B: a bank number of two or four digits, then Enter.
inline bool IsBankNumberEntry(EntryMode m) {
  return m == EntryMode::kTransfer || m == EntryMode::kPut || m == EntryMode::kSort ||
         m == EntryMode::kBank;
}

// The receiver's scan of one of its own memory banks, as the panel follows it.
enum class ScanState {
  kOff = 0,
  kStarted = 1,  // started or resumed; not yet seen moving
  kMoving = 2,
  kHalted = 3,  // holding on a signal
};

inline bool IsMemoryScanning(ScanState s) {
  return s != ScanState::kOff;
}

// What is done with the bank in memory (Bank): selected for stepping, or the panel's own
// scan through it.
enum class BankState {
  kNone = 0,
  kSelected = 1,     // the arrows step through its channels, K deletes one
  kScanStarted = 2,  // R: the first channel is tuned
  kScanning = 3,     // a quiet poll tunes the next channel
  kHalted = 4,       // holding on a channel with a signal
};

inline bool IsBankScanning(BankState s) {
  return s >= BankState::kScanStarted;
}

// The receiver's own frequency search between the limits.
enum class SearchActive {
  kOff = 0,
  kMoving = 1,
  kHalted = 2,  // on a signal; its frequency is read back and recorded
};

inline bool IsSearching(SearchActive s) {
  return s != SearchActive::kOff;
}

// Whether the receiver has answered.
enum class ConnectState {
  kUnknown = -1,  // not yet since start-up: the first key waits briefly for it
  kLost = 0,      // never answered, or answered and then went away
  kConnected = 1,
};

// The step of the poll cycle the next timer tick performs.
enum class PollState {
  kIdle = 0,           // a waiting key is taken; otherwise the level poll begins
  kAskLevel = 1,       // "LM" goes out
  kReadLevel = 2,      // its reply: the meter, then the scan and search watch
  kAskFrequency = 3,   // a search halted: "RX" goes out
  kReadFrequency = 4,  // its reply: the hit's frequency
  kScanStopWait = 5,   // one tick while the receiver reports a memory scan's halt
  kScanStopRead = 6,   // the halt's channel frequency, from the level reply
};

// What a search does on a hit.
enum class StopMode {
  kContinue = 0,   // "CONT": sent on after a few polls
  kStayOnHit = 1,  // "STOP": stays until the signal goes
};

// Who says the words of the messages.
enum class Voice {
  kClips,             // the recorded clips of the voice folder
  kSpeechDispatcher,  // the listener's own voice, through speech-dispatcher
};

// How much is said.
enum class Verbosity {
  kAsEver = 1,     // what every key and reaction has always said
  kWhereTo = 2,    // also where the receiver went: steps, untagged channels, stops, hits
  kSquelch = 3,    // also the squelch opening and closing while nothing scans
};

}  // namespace voskel
