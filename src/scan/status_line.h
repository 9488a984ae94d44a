#pragma once
// The status line above the lower panel lines: what the search or scan is doing now.
// The keys that start a hunt and the poll reactions that follow it both draw there.
#include <string_view>

#include "core/panel.h"
#include "panel/layout.h"

namespace voskel {

// Draws text on one of the status lines, and leaves the pen black.
void DrawStatus(Panel& panel, ScreenLine line, std::string_view text);
void DrawScanning(Panel& panel);
inline constexpr std::string_view kSearchActiveText = "Search Mode Active";
void DrawStopped(Panel& panel);

}  // namespace voskel
