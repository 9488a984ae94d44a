#pragma once
#include "core/panel.h"

namespace voskel {

// The search settings line: lower limit, step, STOP/CONT, upper limit.
void ShowSearchLine(Panel& panel);
// Blanks the lower part of the panel before every Enter.
void ClearPanelLines(Panel& panel);
// The number and name of the bank selected (or scanned) on the left under the meter,
// blank when none is; drawn only when they changed, and the pen is left as it was.
void ShowSelectedBank(Panel& panel);

}  // namespace voskel
