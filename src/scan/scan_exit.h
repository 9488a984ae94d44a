#pragma once
#include "core/panel.h"

namespace voskel {

// Leaves a memory scan or bank scan: releases the passed channels and tunes Frequency.
void ExitScan(Panel& panel);
// Ends the panel's following of the memory scan for a key that gives the receiver work of
// its own next (a search, another scan): "exitscan", and the passed channels released.
void EndMemoryScan(Panel& panel);
// The same, and the receiver told: tuned back to the panel's frequency, mode and
// attenuator, which ends its scan.
void StopMemoryScan(Panel& panel);
// "MR" + channel and "MP0" for every channel passed; what the receiver did not release
// stays listed, to be tried again.
void ReleasePassedChannels(Panel& panel);
// The frequency, mode and attenuator the panel shows, back into the receiver, whose scan
// or a release ("MR") left it on a memory channel's own.
void TuneBack(Panel& panel);
// A poll step's turn while no memory scan runs: passes left unreleased are tried again
// (now and then, not on every tick), and the receiver tuned back where the panel is.
void ReleaseLeftPasses(Panel& panel);
// Ends the receiver's search: stores the search list and tells how many hits it holds.
void EndSearch(Panel& panel);
// Ends whatever search or scan runs when the receiver is found gone, sending nothing: the
// search list is stored as Enter would store it; passed channels stay listed for release.
void AbandonScans(Panel& panel);

}  // namespace voskel
