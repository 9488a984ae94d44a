#pragma once
// The bank operations behind the keys B, O, T, P, D and K and the arrows: each takes the
// bank number typed into EntryText, works on the one Bank in memory and saves it back.
#include "core/panel.h"

namespace voskel {

void SelectBank(Panel& panel);                  // B: load, tune the first channel, mode and step
void StepChannel(Panel& panel, int direction);  // Up +1, Down -1, through the selected bank
void SortBank(Panel& panel);       // O: order by frequency, drop repeats that follow each other
void CopyBank(Panel& panel);       // T: merge one bank (or the search list) into another
void PutChannel(Panel& panel);     // P: add the current frequency to a bank
// The end that T and P share: the channels of source not yet in the destination are added
// to it; true when the destination was written ("ok").
bool MergeBank(Panel& panel, const Bank& source);
void DeleteChannel(Panel& panel);  // K, Enter: remove the current channel of the selected bank
void DeleteBank(Panel& panel);     // D, Enter: move a bank file aside into deleted/

// The bank's mode (line 1) and step (line 2) into the receiver, each after a pause.
void ApplyBankModeAndStep(Panel& panel);

// The tag of the current channel, in green under the frequency.
void BlankChannelTag(Panel& panel);
void ShowChannelTag(Panel& panel);

}  // namespace voskel
