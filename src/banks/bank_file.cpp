#include "banks/bank_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "core/text.h"
#include "platform/atomic_file.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// A save takes milliseconds; a temporary this old is no save's that is still running (a
// second panel started in the same folder by mistake, say).
constexpr auto kStaleAfter = std::chrono::minutes(1);

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "bank07.dat.a1B2c3": the temporary of a bank file, bank and two digits.
bool IsBankTemporary(const std::string& name) {
  if (name.size() < 10) return false;
  const std::string bank = name.substr(0, 10);
  return bank.starts_with("bank") && IsDigit(bank[4]) && IsDigit(bank[5]) &&
         bank.ends_with(".dat") && platform::IsTemporaryFor(name, bank);
}

}  // namespace

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

void RemoveStaleBankTemporaries(Panel& panel) {
  namespace fs = std::filesystem;
  std::error_code error;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(panel.workDir, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code ignored;
    if (!IsBankTemporary(it->path().filename().string()) ||
        !fs::is_regular_file(it->symlink_status(ignored)) ||
        now - fs::last_write_time(it->path(), ignored) < kStaleAfter)
      continue;
    fs::remove(it->path(), ignored);
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
