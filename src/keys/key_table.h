#pragma once
// What each key does in each state, as one ordered table (kKeyRows in handle_key.cpp): the
// first row that is for the key and for the state decides. HandleKey runs the row; the
// key's message asks it whether the key goes on with the entry being typed; the key
// intake asks it whether the key needs the receiver and whether it holds the receiver's
// banks.
#include <limits>

#include "core/panel.h"

namespace voskel {

// What a key does to the entry being typed: digits for a frequency, or a multi-key command.
enum class EntryUse {
  kTypesInto,  // typed into it, taking back from it or cancelling it
  kEndsIt,     // completing it: what it was typed for runs (Enter, Q)
  kLeavesBe,   // it stays exactly as it is, its message too
  // A command beside it: a search limit or step entry is left first, its typed value kept
  // when the receiver can use it; digits for a frequency stay typed unless the key moves
  // the receiver; any other entry stays pending.
  kBeside,
};

// The hunts in which a key is refused with "inv" and does nothing else.
enum class RefusedWhile {
  kNever,
  kSearchOrScan,      // the receiver's search or memory scan
  kSearchScanOrBank,  // also while a bank is selected, or the panel scans through it
};

struct KeyRange {
  KeyCode first;
  KeyCode last;
};

constexpr KeyRange OneKey(KeyCode key) {
  return {key, key};
}
inline constexpr KeyRange kAnyKey{std::numeric_limits<KeyCode>::min(),
                                  std::numeric_limits<KeyCode>::max()};

struct KeyRow {
  KeyRange keys;
  bool (*applies)(const PanelState& s, KeyCode key) = nullptr;  // the states it is for; null: all
  EntryUse entry = EntryUse::kBeside;
  // A memory scan G and Enter have only just started ends quietly (the receiver is told
  // nothing) before the command. Any other key leaves it to the command: Enter, Q and R
  // end a scan of their own accord.
  bool endsStartedScan = false;
  RefusedWhile refused = RefusedWhile::kNever;
  // Digits typed for a frequency end with "cancel" before the command: the receiver moves
  // away from where they were typed.
  bool movesFrequency = false;
  bool needsReceiver = true;  // false: the key works the same while the receiver is lost
  // The receiver's banks are read or written while the key runs (Z, and the Enter of W):
  // network clients' sets are refused at once rather than kept waiting.
  bool holdsBanks = false;
  void (*run)(Panel& panel, KeyCode key) = nullptr;  // null: no command
};

const KeyRow& KeyRowFor(const PanelState& s, KeyCode key);

}  // namespace voskel
