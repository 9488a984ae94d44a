#pragma once
// What the panel heard, for the activity log: every opening of the squelch, while idle,
// searching or scanning, becomes one line of activity.csv when the squelch closes again.
#include "core/panel.h"

namespace voskel {

// After each level reply, with Quiet and the meter brought up to date from it.
void NoteActivity(Panel& panel, const std::string& reply);
// At the end of a run: a signal still heard is written as far as it was heard.
void EndActivity(Panel& panel);

}  // namespace voskel
