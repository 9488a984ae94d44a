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
// The bank file is read and checked now; only a bank that can be written whole is kept
// for Enter, and only then does the receiver empty its bank. A missing file says "bnf", a
// bank that cannot be written "inv": nothing is sent, and Enter only ends the entry.
void WriteEntryLetter(Panel& panel, KeyCode key);
// Enter or Q: the write runs when the entry is whole.
void CommitWriteEntry(Panel& panel);

// Writes the bank checked at the letter into receiver bank EntryText[2], one memory-write
// command per channel, channels 00 to 90, each answered before the next goes out. "ok"
// only when the receiver took every channel; a refused or unanswered channel ends the
// write with "inv" and is named in the debug log.
void WriteBankToReceiver(Panel& panel);
// Asks each receiver bank A to J for its size and sets the ones that are not 90.
void CheckReceiverBanks(Panel& panel);

}  // namespace voskel
