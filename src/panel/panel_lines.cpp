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

void ShowSelectedBank(Panel& panel) {
  auto& s = panel.state;
  constexpr std::size_t kNameShown = 12;
  std::string number;
  std::string name;
  // "bankNN.dat": the number stands between the word and the extension.
  if (s.BankState != BankState::kNone && s.BankFileName.size() > 8) {
    number = "Bank " + s.BankFileName.substr(4, s.BankFileName.size() - 8);
    name = s.Bank.title.substr(0, kNameShown);
  }
  if (number == s.BankLineShown && name == s.BankNameShown) return;
  const Pen kept = panel.pen;
  SetFont(panel, "Ariel", 30, 700);
  SetColour(panel, platform::kBlack);
  MoveTo(panel, 20, 90);
  PrintAt(panel, number.empty() ? std::string(s.BankLineShown.size(), ' ') : number, "\r\n");
  MoveTo(panel, 20, 130);
  PrintAt(panel, name.empty() ? std::string(s.BankNameShown.size(), ' ') : name, "\r\n");
  s.BankLineShown = number;
  s.BankNameShown = name;
  panel.pen = kept;
}

}  // namespace voskel
