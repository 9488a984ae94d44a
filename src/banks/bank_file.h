#pragma once
// The bank image in memory and the bank file it belongs to.
#include <optional>
#include <string>

#include "banks/bank_lines.h"
#include "core/panel.h"

namespace voskel {

// Reads BankFileName into BankLines. True when it opened; otherwise "bnf" is spoken and
// BankLines keeps what it held.
bool LoadBank(Panel& panel);
// Reads bank file `name` in the working directory into lines and returns the line of its
// end marker, -1 without one. Nothing when it does not open: "bnf" is spoken and lines
// keep what they held.
std::optional<int> ReadBank(Panel& panel, const std::string& name, BankImage& lines);

// What reading a bank for use found.
enum class BankUse { kSound, kMissing, kDamaged };
// Reads bank file `name` for use: lines take it only when it opens and BankDamage finds it
// sound. "bnf" is spoken when it does not open; "inv" when it is damaged, and the debug log
// names the line and why. Otherwise lines keep what they held, so nothing of a damaged
// bank can reach the receiver or another file.
BankUse ReadBankForUse(Panel& panel, const std::string& name, BankImage& lines);
// ReadBankForUse of `name` into BankLines. A sound bank becomes BankFileName, with the
// indexes as LoadBank sets them; a missing one becomes BankFileName, for an edit that
// creates it; a damaged one changes nothing.
BankUse LoadBankForUse(Panel& panel, const std::string& name);
// Writes BankLines up to and including the end marker, as a whole or not at all: a
// temporary file in the same folder is flushed to disk and then renamed over the bank.
// False when the bank could not be written; the old file is then untouched.
bool SaveBank(Panel& panel);

// Removes what a save cut off (a crash, a kill) left in the working directory: a bank's
// temporary, untouched for a minute, so never one a save is writing now. Nothing else.
void RemoveStaleBankTemporaries(Panel& panel);

// Line i of the image, or an empty text when i lies outside it.
const std::string& BankLine(const PanelState& state, int i);

}  // namespace voskel
