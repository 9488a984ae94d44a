#pragma once
// The interpreter of one key: every key is a command, digits build up numbers, and Enter
// or Q completes the entry that is pending.
#include "core/panel.h"

namespace voskel {

// The key's row of the key table (key_table.h) decides what it does.
void HandleKey(Panel& panel, KeyCode key);
void EnterDigit(Panel& panel, KeyCode key);  // a digit or the point
void CommitEntry(Panel& panel);
void TestExchange(Panel& panel);

// The Page Up / Page Down step in Hz from StepText (kHz): only the first digit after the
// point counts.
long long PageStepHz(const std::string& stepText);

}  // namespace voskel
