#pragma once
// The search list: the hits of the running search, kept in bank00.dat as a bank of its own
// ("Srchbank") and written there at every hit, so that a panel killed mid-search keeps them.
// While a search runs the bank in memory is the list: every key that loads another bank ends
// with Enter, and Enter ends the search first.
#include "core/panel.h"

namespace voskel {

inline constexpr const char* kSearchListFile = "bank00.dat";

// A fresh, empty list in memory and in bank00.dat.
void CreateSearchList(Panel& panel);
// Adds Frequency to the list unless it is there or the list is full, and stores the list.
void RecordSearchHit(Panel& panel);

}  // namespace voskel
