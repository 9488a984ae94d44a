#pragma once
// What the key intake hands the poll cycle, in order: each key press, and behind it the
// marker that reads what the receiver answered to it.

namespace voskel {

// A key as the window delivers it: its Windows virtual-key code (platform/virtual_keys.h).
using KeyCode = int;

struct QueuedInput {
  enum class Kind {
    kReadReply,  // read the receiver's answer to the key before
    kKey,
    // Read the answer, then end the entry being typed: presses after the key before found
    // the queue full and were lost.
    kKeysLost,
  };

  static constexpr QueuedInput Press(KeyCode key) { return {Kind::kKey, key}; }
  static constexpr QueuedInput ReadReply() { return {Kind::kReadReply, 0}; }
  static constexpr QueuedInput KeysLost() { return {Kind::kKeysLost, 0}; }

  Kind kind = Kind::kReadReply;
  KeyCode key = 0;  // for kKey only

  friend bool operator==(const QueuedInput&, const QueuedInput&) = default;
};

}  // namespace voskel
