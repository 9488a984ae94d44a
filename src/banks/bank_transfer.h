#pragma once
// Moving a bank file into one of the receiver's own memory banks (W, two digits, a bank
// letter, Enter), and giving every receiver bank 90 channels (Z).
#include "core/panel.h"

namespace voskel {

// W: the write entry begins; the bank number is typed next.
void StartWriteEntry(Panel& panel);
// A digit or point of the write entry, already spoken: two make the bank number.
void WriteEntryDigit(Panel& panel, char c);
// Any other key but Enter while the write entry is pending: the receiver bank's letter.
// The receiver empties that bank at once.
void WriteEntryLetter(Panel& panel);
// Enter or Q: the write runs when the entry is whole.
void CommitWriteEntry(Panel& panel);

// Writes bank file EntryText[0..1] into receiver bank EntryText[2], one memory-write
// command per channel, channels 00 to 90.
void WriteBankToReceiver(Panel& panel);
// Asks each receiver bank A to J for its size and sets the ones that are not 90.
void CheckReceiverBanks(Panel& panel);

}  // namespace voskel
