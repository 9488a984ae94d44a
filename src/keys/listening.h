#pragma once
// What the listener chose to hear beside the messages of the keys. Its keys do the same in
// every state and leave every entry, scan and search as it is: F8 how much is said (1, 2,
// 3, then 1 again), F9 the signal tone on and off; both are kept in voice.cfg at once.
#include "core/panel.h"

namespace voskel {

// F8 and F9 (the key table in handle_key.cpp).
void NextVerbosity(Panel& panel);
void ToggleSignalTone(Panel& panel);

// After a key that moved the receiver with the arrows or Page keys: at verbosity 2 and up
// its new frequency is said once the steps stop.
void NoteSteppedFrequency(Panel& panel);
// On each tick: says the frequency the steps ended on, once they have stopped.
void SaySteppedFrequency(Panel& panel);
// The level of the last poll as the tone's pitch, or silence while speech-dispatcher
// speaks or the tone is off.
void SoundSignalTone(Panel& panel);

// The pitch of the signal tone for a level in meter units: higher for a stronger signal,
// the same low note for a closed squelch.
int SignalToneHz(int level, bool squelchClosed);

// At verbosity 3, after a level poll: the squelch opening or closing while no search or
// scan runs (theirs say their own stops). wasQuiet is the squelch before the poll.
void SaySquelchChange(Panel& panel, bool wasQuiet);

}  // namespace voskel
