#pragma once
#include "core/panel.h"

namespace voskel {

// Leaves a memory scan or bank scan: releases the passed channels and tunes Frequency.
void ExitScan(Panel& panel);
// Ends the receiver's memory scan for a key that does its own work next: "exitscan",
// and the passed channels released.
void EndMemoryScan(Panel& panel);
// "MR" + channel and "MP0" for every channel passed in this scan; the pass list is empty
// afterwards.
void ReleasePassedChannels(Panel& panel);
// Ends the receiver's search: stores the search list and tells how many hits it holds.
void EndSearch(Panel& panel);
// Ends whatever search or scan runs when the receiver is found gone, sending nothing: the
// search list is stored as Enter would store it, passed channels are forgotten.
void AbandonScans(Panel& panel);

}  // namespace voskel
