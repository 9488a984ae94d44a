#pragma once
// Everything after start-up happens here, one window event at a time: keys are queued,
// and each timer tick performs one step of the poll cycle.
#include "core/panel.h"
#include "platform/window.h"

namespace voskel {

void OnPanelEvent(Panel& panel, const platform::Event& event);
// One step of the poll cycle, chosen by PollState.
void PollCycle(Panel& panel);
// Takes one entry of the key queue: a key runs HandleKey, a marker reads the reply, a
// network client's setting is handed to the remote control.
void KeyStep(Panel& panel);
// A network client's setting takes its turn in the key queue like a key press: its entry
// -ticket, then a marker. It is no key of the listener's, so the latch of a held key is
// not touched. False when the queue has no room.
bool QueueRemoteSet(PanelState& s, int ticket);
// Redraws the signal meter from the reply of a level query.
void UpdateMeter(Panel& panel);
// The meter line for a level in meter units.
std::string MeterLineFor(const std::string& meterBar, int level);

// The "RX" query is given up after this many tries for one halt.
inline constexpr int kMaxStateQueries = 20;

}  // namespace voskel
