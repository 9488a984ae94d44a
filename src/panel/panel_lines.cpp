#include "panel/panel_lines.h"

#include <string>

#include "panel/layout.h"
#include "panel/pen.h"

namespace voskel {

void ShowSearchLine(Panel& panel) {
  const auto& s = panel.state;
  StartLine(panel, ScreenLine::kSearchLow);
  PrintAt(panel, s.SearchLow, std::string(10, ' '), "\r\n");
  StartLine(panel, ScreenLine::kSearchStep);
  PrintAt(panel, s.StepText, std::string(9, ' '), "\r\n");
  StartLine(panel, ScreenLine::kSearchStopMode);
  PrintAt(panel, s.StopMode == StopMode::kStayOnHit ? "STOP" : "CONT", "\r\n");
  StartLine(panel, ScreenLine::kSearchHigh);
  PrintAt(panel, s.SearchHigh, std::string(8, ' '), "\r\n");
}

void ClearPanelLines(Panel& panel) {
  StartLine(panel, ScreenLine::kLowerBlank1);
  PrintAt(panel, std::string(40, ' '), "\r\n");
  StartLine(panel, ScreenLine::kLowerBlank2);
  PrintAt(panel, std::string(80, ' '), "\r\n");
  StartLine(panel, ScreenLine::kLowerBlank3);
  PrintAt(panel, std::string(40, ' '), "\r\n");
  StartLine(panel, ScreenLine::kLowerBlank4);
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
  StartLine(panel, ScreenLine::kSelectedBankNumber);
  PrintAt(panel, number.empty() ? std::string(s.BankLineShown.size(), ' ') : number, "\r\n");
  StartLine(panel, ScreenLine::kSelectedBankName);
  PrintAt(panel, name.empty() ? std::string(s.BankNameShown.size(), ' ') : name, "\r\n");
  s.BankLineShown = number;
  s.BankNameShown = name;
  panel.pen = kept;
}

}  // namespace voskel
