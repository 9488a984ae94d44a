#include "scan/status_line.h"

#include "panel/pen.h"

namespace voskel {

void DrawStatus(Panel& panel, int x, std::string_view text, platform::Colour colour) {
  MoveTo(panel, x, 320);
  SetFont(panel, "Ariel", 30, 700);
  SetColour(panel, colour);
  PrintAt(panel, text, "\r\n");
  SetColour(panel, platform::kBlack);
}

void DrawScanning(Panel& panel) {
  DrawStatus(panel, 270, "      *** SCANNING ***  ", platform::kRed);
}

void DrawStopped(Panel& panel) {
  DrawStatus(panel, 270, "      *** STOPPED ***  ", platform::kRed);
}

}  // namespace voskel
