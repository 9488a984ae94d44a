// Removing the current channel of the selected bank, and removing a whole bank file.
#include <filesystem>
#include <string>
#include <system_error>

#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "banks/bank_keys.h"
#include "receiver/receiver_settings.h"
#include "voice/voice.h"

namespace voskel {

void DeleteChannel(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  if (s.BankState != BankState::kSelected) {
    Speak(panel, "inv");
    return;
  }
  const int end = ChannelEnd(s);
  if (end == kFirstChannel) {
    Speak(panel, "empty");
    return;
  }
  if (s.ChannelIndex < kFirstChannel || s.ChannelIndex >= end || s.ChannelIndex % 2 != 0) {
    Speak(panel, "inv");
    return;
  }
  // The file decides: a save that fails leaves the image in memory as the file still is.
  const auto before = s.BankLines;
  // Every record after the current one moves down, the end marker with them, however far
  // down the bank it stands.
  for (int i = s.ChannelIndex; i < end; i += 2) {
    s.BankLines[static_cast<std::size_t>(i)] = BankLine(s, i + 2);
    s.BankLines[static_cast<std::size_t>(i + 1)] = BankLine(s, i + 3);
  }
  s.BankLines[static_cast<std::size_t>(end)].clear();
  s.BankLines[static_cast<std::size_t>(end + 1)].clear();
  const int newEnd = end - 2;
  if (!SaveBank(panel)) {
    s.BankLines = before;
    Speak(panel, "inv");
    return;
  }
  s.LastChannelIndex = newEnd - 2;

  const bool empty = newEnd == kFirstChannel;
  if (empty) {
    // The end marker is no frequency: the receiver stays where it is.
    s.BankState = BankState::kNone;
    s.ChannelIndex = kFirstChannel;
    BlankChannelTag(panel);
  } else {
    // After the last channel comes the first, as when stepping.
    if (s.ChannelIndex >= newEnd) s.ChannelIndex = kFirstChannel;
    s.Frequency = BankLine(s, s.ChannelIndex);
    s.TuneText = s.Frequency;
    SetFrequency(panel);
    BlankChannelTag(panel);
    ShowChannelTag(panel);
  }
  Speak(panel, "ok");
  if (empty) Speak(panel, "empty");
}

void DeleteBank(Panel& panel) {
  auto& s = panel.state;
  s.EntryMode = EntryMode::kNone;
  if (s.EntryText.size() != 2) {
    Speak(panel, "inv");
    return;
  }
  const std::string name = BankFileName(s.EntryText);
  const std::filesystem::path file = panel.workDir / name;
  std::error_code error;
  // A folder of that name is no bank and stays.
  if (std::filesystem::is_directory(std::filesystem::symlink_status(file, error))) {
    Speak(panel, "inv");
    return;
  }
  std::filesystem::remove(file, error);
  if (error) {
    Speak(panel, "inv");
    return;
  }
  // The selected bank is gone: a later K must not write it back.
  if (s.BankState == BankState::kSelected && s.BankFileName == name) s.BankState = BankState::kNone;
  Speak(panel, "ok");
}

}  // namespace voskel
