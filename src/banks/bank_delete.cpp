// Removing the current channel of the selected bank, and putting a whole bank file aside.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "banks/bank_keys.h"
#include "platform/file_move.h"
#include "receiver/receiver_settings.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// Where D puts a bank, in the working directory; `mv deleted/NAME bankNN.dat` brings it back.
constexpr const char* kDeletedFolder = "deleted";
constexpr int kMostDeletionsASecond = 100;

// "2026-12-05-19-27-34": the local date and time, in an order that sorts by time and in
// characters that need no quoting in a shell.
std::string DeletionStamp(platform::Clock& clock) {
  const std::string date = clock.LocalDate();  // dd-MM-yyyy
  std::string stamp =
      date.size() == 10 ? date.substr(6) + "-" + date.substr(3, 2) + "-" + date.substr(0, 2) : date;
  stamp += "-" + clock.LocalTime();
  std::replace(stamp.begin(), stamp.end(), ':', '-');
  return stamp;
}

// Moves the bank file `name` into the folder deleted/, as "bank20-2026-12-05-19-27-34.dat"
// (a second deletion in the same second adds "-2", ...), so that a typo in D loses nothing
// and one deletion never replaces another.
bool MoveAside(Panel& panel, const std::string& name) {
  std::error_code error;
  const std::filesystem::path folder = panel.workDir / kDeletedFolder;
  std::filesystem::create_directory(folder, error);
  if (error) return false;
  const std::string base = name.substr(0, name.size() - 4) + "-" + DeletionStamp(panel.clock);
  for (int n = 1; n <= kMostDeletionsASecond; ++n) {
    const std::string aside = base + (n > 1 ? "-" + std::to_string(n) : "") + ".dat";
    if (platform::MoveWithoutReplacing(panel.workDir / name, folder / aside)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace

void DeleteChannel(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  if (s.BankState != BankState::kSelected) {
    Speak(panel, "inv");
    return;
  }
  const int end = ChannelEnd(s.Bank);
  if (end == kFirstChannel) {
    Speak(panel, "empty");
    return;
  }
  if (s.ChannelIndex < kFirstChannel || s.ChannelIndex >= end || s.ChannelIndex % 2 != 0) {
    Speak(panel, "inv");
    return;
  }
  // The file decides: a save that fails leaves the bank in memory as the file still is.
  const Bank before = s.Bank;
  // The channels after the current one move up, the end marker with them, however far
  // down the bank it stands.
  SealBank(s.Bank);
  s.Bank.channels.erase(s.Bank.channels.begin() + (s.ChannelIndex - kFirstChannel) / 2);
  const int newEnd = end - 2;
  if (!SaveBank(panel)) {
    s.Bank = before;
    Speak(panel, "inv");
    return;
  }
  s.LastChannelIndex = newEnd - 2;
  // The channel is gone from the file: that is said before the receiver is asked to tune
  // the next one, which it may refuse or not be there for.
  Speak(panel, "ok");

  const bool empty = newEnd == kFirstChannel;
  if (empty) {
    // The end marker is no frequency: the receiver stays where it is.
    s.BankState = BankState::kNone;
    s.ChannelIndex = kFirstChannel;
    BlankChannelTag(panel);
  } else {
    // After the last channel comes the first, as when stepping.
    if (s.ChannelIndex >= newEnd) s.ChannelIndex = kFirstChannel;
    s.Frequency = BankLine(s.Bank, s.ChannelIndex);
    SetFrequency(panel, s.Frequency);
    BlankChannelTag(panel);
    ShowChannelTag(panel);
  }
  if (empty) Speak(panel, "empty");
}

void DeleteBank(Panel& panel) {
  namespace fs = std::filesystem;
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  if (!IsBankNumber(s.EntryText)) {
    Speak(panel, "inv");
    return;
  }
  const std::string name = BankFileName(s.EntryText);
  std::error_code error;
  const fs::file_status status = fs::symlink_status(panel.workDir / name, error);
  const bool missing = status.type() == fs::file_type::not_found;
  // A folder of that name is no bank and stays; a bank that cannot be moved aside is
  // never removed instead.
  if (!missing && (error || fs::is_directory(status) || !MoveAside(panel, name))) {
    Speak(panel, "inv");
    return;
  }
  // The selected bank is gone: a later K must not write it back.
  if (s.BankState == BankState::kSelected && s.BankFileName == name) s.BankState = BankState::kNone;
  Speak(panel, "ok");
}

}  // namespace voskel
