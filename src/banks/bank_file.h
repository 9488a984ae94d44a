#pragma once
// The bank image in memory and the bank file it belongs to.
#include <optional>
#include <string>

#include "banks/bank_lines.h"
#include "core/panel.h"

namespace voskel {

// Reads BankFileName into BankLines. IoResult 0 when opened; otherwise "bnf" is spoken and
// BankLines keeps what it held.
void LoadBank(Panel& panel);
// Reads bank file `name` in the working directory into lines and returns the line of its
// end marker, -1 without one. Nothing when it does not open: "bnf" is spoken and lines
// keep what they held.
std::optional<int> ReadBank(Panel& panel, const std::string& name, BankImage& lines);
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
