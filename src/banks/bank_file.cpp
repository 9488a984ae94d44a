#include "banks/bank_file.h"

#include <fstream>

#include "voice/voice.h"

namespace voskel {

const std::string& BankLine(const PanelState& state, int i) {
  static const std::string kNone;
  if (i < 0 || i >= kBankImageLines) return kNone;
  return state.BankLines[static_cast<std::size_t>(i)];
}

void LoadBank(Panel& panel) {
  auto& s = panel.state;
  std::ifstream file;
  s.IoResult = OpenBankFile(panel.workDir / s.BankFileName, file) ? 0 : 1;
  if (s.IoResult != 0) {
    Speak(panel, "bnf");
    return;
  }
  const int end = ReadBankLines(file, s.BankLines);
  // A marker on line 0 or 1 of a damaged file must not make the index point before the
  // image. A file without one leaves both indexes as they were.
  if (end >= 0) {
    s.LastChannelIndex = end >= 2 ? end - 2 : 0;
    s.ChannelIndex = s.LastChannelIndex;
  }
}

bool SaveBank(Panel& panel) {
  return WriteBankFile(panel.workDir / panel.state.BankFileName, panel.state.BankLines);
}

}  // namespace voskel
