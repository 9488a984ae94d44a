#pragma once
// Putting right what is being typed: Escape cancels the entry in progress, Backspace takes
// back its last character, and a command key abandons digits typed for a frequency.
#include <string>

#include "core/panel.h"

namespace voskel {

// A multi-key command is pending, or digits for a frequency have been typed and not
// yet ended by Enter.
bool EntryInProgress(const PanelState& s);

// The field a search limit or step entry types into: the low or high limit, else the step.
std::string& LimitField(PanelState& s);

// The entry in progress ends with nothing done; the field it typed into holds what it held
// before.
void UndoEntry(PanelState& s);
// Escape: the entry in progress ends with nothing done and "cancel"; the field it typed
// into shows what it held before. Nothing happens when no entry is in progress.
void CancelEntry(Panel& panel);
// Backspace: the last typed character goes, and what is left is spoken; with nothing left
// the entry's prompt is said again and the entry stays open (only Escape ends it). The
// entry's message loses the character's key.
void TakeBackKey(Panel& panel);
// A key that moves the receiver (the arrows and page keys, B, G, R: the key table's
// movesFrequency) ends digits typed for a frequency with "cancel" before it does its work;
// every other key leaves them typed.
void AbandonTypedFrequency(Panel& panel);

}  // namespace voskel
