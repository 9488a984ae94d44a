#include "panel/pen.h"

#include "core/text.h"

namespace voskel {

bool OpenPanel(Panel& panel) {
  panel.pen = Pen{};
  return panel.window.Open(kPanelTitle);
}

void MoveTo(Panel& panel, int x, int y) {
  panel.pen.x = x;
  panel.pen.y = y;
}

void SetColour(Panel& panel, platform::Colour colour) { panel.pen.colour = colour; }

void SetFont(Panel& panel, std::string_view face, int points, int weight, int /*flags*/) {
  // Face names reach the platform's font matching as the Windows API would take them.
  panel.pen.font.face.assign(face.substr(0, 31));
  panel.pen.font.points = points;
  panel.pen.font.weight = weight;
}

void ClosePanel(Panel& panel) { panel.window.Close(); }

void PrintText(Panel& panel, std::string text) {
  if (!text.empty() && text.back() == '\n') {
    text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
  }
  if (text.empty()) return;
  panel.pen.x += panel.window.DrawText(panel.pen.x, panel.pen.y, text, panel.pen.font, panel.pen.colour);
}

}  // namespace voskel
