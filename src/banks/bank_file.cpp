#include "banks/bank_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "core/text.h"
#include "platform/atomic_file.h"
#include "voice/voice.h"

namespace voskel {

const std::string& BankLine(const PanelState& state, int i) {
  static const std::string kNone;
  if (i < 0 || i >= kBankImageLines) return kNone;
  return state.BankLines[static_cast<std::size_t>(i)];
}

void LoadBank(Panel& panel) {
  auto& s = panel.state;
  const std::filesystem::path path = panel.workDir / s.BankFileName;
  std::error_code ignored;
  // A folder opens for reading but is no bank.
  std::ifstream file;
  if (!std::filesystem::is_directory(path, ignored)) file.open(path, std::ios::binary);
  s.IoResult = file.is_open() ? 0 : 1;
  if (s.IoResult != 0) {
    Speak(panel, "bnf");
    return;
  }
  for (int i = 0; i < kBankFileLines; ++i) s.BankLines[static_cast<std::size_t>(i)].clear();
  std::string line;
  for (int i = 0; i < kBankFileLines; ++i) {
    if (!ReadTextLine(file, line)) break;
    s.BankLines[static_cast<std::size_t>(i)] = line;
    if (line == kEndMarker) {
      // A marker on line 0 or 1 of a damaged file must not make the index point before
      // the image.
      s.LastChannelIndex = i >= 2 ? i - 2 : 0;
      s.ChannelIndex = s.LastChannelIndex;
      break;
    }
  }
}

bool SaveBank(Panel& panel) {
  auto& s = panel.state;
  std::string contents;
  for (int i = 0; i < kBankFileLines; ++i) {
    const std::string& line = s.BankLines[static_cast<std::size_t>(i)];
    contents += line;
    contents += "\r\n";
    if (line == kEndMarker) break;
  }
  return platform::WriteFileAtomically(panel.workDir / s.BankFileName, contents);
}

}  // namespace voskel
