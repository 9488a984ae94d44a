#pragma once
#include "core/panel.h"

namespace voskel {

// Leaves a memory scan or bank scan: releases the passed channels and tunes Frequency.
void ExitScan(Panel& panel);
// Ends the receiver's search: stores the search list and tells how many hits it holds.
void EndSearch(Panel& panel);
// Ends whatever search or scan runs when the receiver is found gone, sending nothing: the
// search list is stored as Enter would store it, passed channels are forgotten.
void AbandonScans(Panel& panel);

}  // namespace voskel
