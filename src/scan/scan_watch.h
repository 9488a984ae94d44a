#pragma once
// The poll cycle's watch over the receiver's search, its memory scan and the panel's own
// bank scan: after each level reply the first reaction whose condition holds runs.
#include "core/panel.h"

namespace voskel {

// Runs the first matching reaction; returns the next poll state.
PollState RunScanWatch(Panel& panel, const std::string& reply);
// After "RX": takes the halted search's frequency from its reply. False when it held none.
bool ReadBackSearchFrequency(Panel& panel, const std::string& reply);
// Two ticks after a memory scan halted: takes the channel's frequency from the reply that
// halted it (ScanStopReply).
void ReadBackScanStop(Panel& panel);

}  // namespace voskel
