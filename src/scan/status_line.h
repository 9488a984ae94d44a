#pragma once
// The status line above the lower panel lines: what the search or scan is doing now.
// The keys that start a hunt and the poll reactions that follow it both draw there.
#include <string_view>

#include "core/panel.h"

namespace voskel {

// Draws text at (x, 320) in "Ariel" 30/700 in the colour, and leaves the pen black.
void DrawStatus(Panel& panel, int x, std::string_view text, platform::Colour colour);
void DrawScanning(Panel& panel);
inline constexpr std::string_view kSearchActiveText = "Search Mode Active";
void DrawStopped(Panel& panel);

}  // namespace voskel
