#pragma once
// The interpreter of one key: every key is a command, digits build up numbers, and Enter
// or Q completes the entry that is pending.
#include "core/panel.h"

namespace voskel {

void HandleKey(Panel& panel);   // the key in CurrentKey
void EnterDigit(Panel& panel);  // a digit or the point
void CommitEntry(Panel& panel);
void TestExchange(Panel& panel);

// The Page Up / Page Down step in Hz from StepText (kHz): only the first digit after the
// point counts.
long long PageStepHz(const std::string& stepText);

}  // namespace voskel
