#pragma once
#include "core/panel.h"

namespace voskel {

// The search settings line: lower limit, step, STOP/CONT, upper limit.
void ShowSearchLine(Panel& panel);
// Blanks the lower part of the panel before every Enter.
void ClearPanelLines(Panel& panel);

}  // namespace voskel
