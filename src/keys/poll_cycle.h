#pragma once
// Everything after start-up happens here, one window event at a time: keys are queued,
// and each timer tick performs one step of the poll cycle.
#include "core/panel.h"
#include "platform/window.h"

namespace voskel {

void OnPanelEvent(Panel& panel, const platform::Event& event);
// One step of the poll cycle, chosen by PollState.
void PollCycle(Panel& panel);
// Takes one entry of the key queue: a key runs HandleKey, a marker reads the reply.
void KeyStep(Panel& panel);
// A network client's line came in while the panel waited for its next event: the sets
// waiting are made at once when the line to the receiver is free (the poll cycle between
// two level polls, no key waiting); otherwise they wait for the poll cycle's next turn.
void TakeRemoteSets(Panel& panel);
// Redraws the signal meter from the reply of a level query.
void UpdateMeter(Panel& panel, const std::string& reply);
// The meter line for a level in meter units.
std::string MeterLineFor(const std::string& meterBar, int level);

// The "RX" query is given up after this many tries for one halt.
inline constexpr int kMaxStateQueries = 20;

}  // namespace voskel
