#include "banks/bank_file.h"

#include <chrono>
#include <fstream>

#include "banks/bank_check.h"
#include "banks/stored_state.h"
#include "core/text.h"
#include "platform/atomic_file.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// A save takes milliseconds; a temporary this old is no save's that is still running (a
// second panel started in the same folder by mistake, say).
constexpr auto kStaleAfter = std::chrono::minutes(1);

// "bank07.dat.a1B2c3": the temporary of a bank file, or of the kept state.
bool IsBankTemporary(const std::string& name) {
  const std::string bank = name.substr(0, 10);
  return (BankNumberOf(bank) && platform::IsTemporaryFor(name, bank)) ||
         platform::IsTemporaryFor(name, kStateFileName);
}

}  // namespace

namespace {

// The lines of a bank file and the line of its end marker (-1 without one).
struct ReadLines {
  BankImage lines{};
  int end = -1;
};

// Nothing when the file does not open: "bnf" is spoken.
std::optional<ReadLines> ReadLinesOf(Panel& panel, const std::string& name) {
  std::ifstream file;
  if (!OpenBankFile(panel.workDir / name, file)) {
    Speak(panel, "bnf");
    return std::nullopt;
  }
  std::optional<ReadLines> read(std::in_place);
  read->end = ReadBankLines(file, read->lines);
  return read;
}

}  // namespace

BankUse ReadBankForUse(Panel& panel, const std::string& name, Bank& bank) {
  const std::optional<ReadLines> read = ReadLinesOf(panel, name);
  if (!read) return BankUse::kMissing;
  if (const std::optional<DamagedLine> damage = BankDamage(read->lines)) {
    // A text editor counts lines from 1.
    WriteLogLine(panel, Cap(name + ": line " + std::to_string(damage->line + 1) + " " +
                            std::string(damage->why)));
    Speak(panel, "inv");
    return BankUse::kDamaged;
  }
  bank = BankOf(read->lines);
  return BankUse::kSound;
}

BankUse LoadBankForUse(Panel& panel, const std::string& name) {
  auto& s = panel.state;
  const BankUse use = ReadBankForUse(panel, name, s.Bank);
  if (use == BankUse::kDamaged) return use;
  s.BankFileName = name;
  if (use == BankUse::kSound) {
    s.LastChannelIndex = ChannelEnd(s.Bank) - 2;
    s.ChannelIndex = s.LastChannelIndex;
  }
  return use;
}

bool LoadBank(Panel& panel) {
  auto& s = panel.state;
  const std::optional<ReadLines> read = ReadLinesOf(panel, s.BankFileName);
  if (!read) return false;
  s.Bank = BankOf(read->lines);
  // A file without an end marker leaves both indexes as they were.
  if (read->end >= 0) {
    s.LastChannelIndex = read->end - 2;
    s.ChannelIndex = s.LastChannelIndex;
  }
  return true;
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
  return WriteBankFile(panel.workDir / panel.state.BankFileName, panel.state.Bank);
}

}  // namespace voskel
