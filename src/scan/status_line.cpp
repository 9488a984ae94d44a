#include "scan/status_line.h"

#include "panel/pen.h"

namespace voskel {

void DrawStatus(Panel& panel, ScreenLine line, std::string_view text) {
  StartLine(panel, line);
  PrintAt(panel, text, "\r\n");
  SetColour(panel, platform::kBlack);
}

void DrawScanning(Panel& panel) {
  DrawStatus(panel, ScreenLine::kScanStatus, "      *** SCANNING ***  ");
}

void DrawStopped(Panel& panel) {
  DrawStatus(panel, ScreenLine::kScanStatus, "      *** STOPPED ***  ");
}

}  // namespace voskel
