#pragma once
// Where the message of a key ends. Each key taken from the queue says one message, except
// while an entry is typed: its keys build one message together, shown as it grows
// ("1", "14", "145.5"), and the key that ends the entry adds its result and finishes it
// ("145.5 ok", "145.5 cancel"). A key that does something of its own beside the entry
// says a message of its own; one that gives the entry up (a command key dropping typed
// digits) finishes the entry's message as it stood first.
#include "core/panel.h"

namespace voskel {

// What the key found, for the end of its message.
struct KeyMessage {
  bool goesOnWithEntry = false;
  bool entryBefore = false;
  EntryMode modeBefore = EntryMode::kNone;
  int serialBefore = 0;
};

// Before the key is handled.
KeyMessage BeginKeyMessage(Panel& panel, KeyCode key);
// After it, also when it was cut short by a receiver that went away.
void EndKeyMessage(Panel& panel, const KeyMessage& key);

}  // namespace voskel
