#include "panel/panel_lines.h"

#include <string>

#include "panel/pen.h"

namespace voskel {

void ShowSearchLine(Panel& panel) {
  const auto& s = panel.state;
  SetFont(panel, "Ariel", 30, 700);
  SetColour(panel, platform::kBlack);
  MoveTo(panel, 80, 250);
  PrintAt(panel, s.SearchLow, std::string(10, ' '), "\r\n");
  MoveTo(panel, 300, 250);
  PrintAt(panel, s.StepText, std::string(9, ' '), "\r\n");
  MoveTo(panel, 500, 250);
  PrintAt(panel, s.StopMode == StopMode::kStayOnHit ? "STOP" : "CONT", "\r\n");
  MoveTo(panel, 750, 250);
  PrintAt(panel, s.SearchHigh, std::string(8, ' '), "\r\n");
}

void ClearPanelLines(Panel& panel) {
  SetFont(panel, "Ariel", 70, 700);
  MoveTo(panel, 150, 300);
  PrintAt(panel, std::string(40, ' '), "\r\n");
  MoveTo(panel, 0, 350);
  PrintAt(panel, std::string(80, ' '), "\r\n");
  MoveTo(panel, 300, 400);
  PrintAt(panel, std::string(40, ' '), "\r\n");
  MoveTo(panel, 300, 450);
  PrintAt(panel, std::string(40, ' '), "\r\n");
}

}  // namespace voskel
