#pragma once
// The bank in memory and the bank file it belongs to.
#include <optional>
#include <string>

#include "banks/bank_lines.h"
#include "core/panel.h"

namespace voskel {

// Reads BankFileName into Bank. True when it opened; otherwise "bnf" is spoken and Bank
// keeps what it held.
bool LoadBank(Panel& panel);

// What reading a bank for use found.
enum class BankUse { kSound, kMissing, kDamaged };
// Reads bank file `name` in the working directory for use: bank takes it only when it opens
// and BankDamage finds it sound. "bnf" is spoken when it does not open; "inv" when it is
// damaged, and the debug log names the line and why. Otherwise bank keeps what it held, so
// nothing of a damaged bank can reach the receiver or another file.
BankUse ReadBankForUse(Panel& panel, const std::string& name, Bank& bank);
// ReadBankForUse of `name` into Bank. A sound bank becomes BankFileName, with the indexes
// as LoadBank sets them; a missing one becomes BankFileName, for an edit that creates it;
// a damaged one changes nothing.
BankUse LoadBankForUse(Panel& panel, const std::string& name);
// Writes Bank up to and including the end marker, as a whole or not at all: a
// temporary file in the same folder is flushed to disk and then renamed over the bank.
// False when the bank could not be written; the old file is then untouched.
bool SaveBank(Panel& panel);

// Removes what a save cut off (a crash, a kill) left in the working directory: a bank's
// temporary, untouched for a minute, so never one a save is writing now. Nothing else.
void RemoveStaleBankTemporaries(Panel& panel);

}  // namespace voskel
