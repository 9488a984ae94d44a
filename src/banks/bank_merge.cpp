// Copying and merging channels from one bank into another: T copies a bank (or the search
// list), P puts the current frequency. Both end in MergeBank, given the source.
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "banks/bank_check.h"
#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "banks/bank_keys.h"
#include "core/text.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// Merging works within the first 187 lines of both banks: at most 91 channels come from
// the source, and the destination's end marker is looked for up to line 186.
constexpr int kMergeLastLine = 186;
constexpr std::size_t kMostMerged = (kMergeLastLine - kFirstChannel) / 2;

void SpeakCreate(Panel& panel, const std::string& number) {
  Speak(panel, "create");
  for (char c : number.substr(0, 2)) SpeakDigit(panel, c);
}

// A new, empty bank: the number as its name, then the mode and step given.
Bank NewBank(const std::string& number, const std::string& mode, const std::string& step) {
  return Bank{Cap("bank" + number), mode, step, " ", {}, true};
}

// The merge's destination into Bank. A missing one is made from the source's header
// and only saved with the merged channels, so that a merge that fails leaves no file.
bool LoadDestination(Panel& panel, const std::string& number, const Bank& source) {
  switch (LoadBankForUse(panel, BankFileName(number))) {
    case BankUse::kSound:
      return true;
    case BankUse::kDamaged:
      return false;
    case BankUse::kMissing:
      break;
  }
  SpeakCreate(panel, number);
  panel.state.Bank = NewBank(number, source.mode, source.step);
  return true;
}

// The destination's end marker on lines 4 to 186; -1 when it stands further down, where
// appending would overwrite the records that follow line 186. The search list read short
// has none.
int MergeEnd(const Bank& destination) {
  const int end = EndLine(destination);
  return destination.ended && end <= kMergeLastLine ? end : -1;
}

// At most 91 channels are appended after a marker on line 186 at the latest, so the bank
// never grows past line 371.
void AppendNewChannels(Bank& destination, const Bank& source) {
  for (std::size_t k = 0; k < source.channels.size() && k < kMostMerged; ++k) {
    const BankChannel& channel = source.channels[k];
    if (channel.frequency == kEndMarker) break;
    const auto same = [&channel](const BankChannel& c) { return c.frequency == channel.frequency; };
    if (std::none_of(destination.channels.begin(), destination.channels.end(), same))
      destination.channels.push_back(channel);
  }
}

// The empty search list ends on line 2: its step and its empty channel list come from the
// panel, so that a bank made from it gets a whole header.
void CompleteSourceHeader(Bank& source, const std::string& step) {
  if (source.step != kEndMarker) return;
  Bank whole = NewBank("00", source.mode, step);
  whole.title = source.title;
  source = std::move(whole);
}

// A missing source of T is created empty, as said; false when it could not be saved.
bool CreateSource(Panel& panel, const std::string& number) {
  auto& s = panel.state;
  SpeakCreate(panel, number);
  s.Bank = NewBank(number, s.ModeName, s.StepText);
  if (SaveBank(panel)) return true;
  Speak(panel, "inv");
  return false;
}

}  // namespace

bool MergeBank(Panel& panel, const Bank& source) {
  auto& s = panel.state;
  const std::string number =
      s.EntryText.size() == 4 ? s.EntryText.substr(2) : s.EntryText.substr(0, 2);
  if (!LoadDestination(panel, number, source)) return false;
  if (s.Bank.mode != source.mode) {
    Speak(panel, "incmode");
    return false;
  }
  if (MergeEnd(s.Bank) < 0) {
    Speak(panel, "n");
    return false;
  }
  AppendNewChannels(s.Bank, source);
  // What P puts and the header a new bank takes come from the panel, not from a checked
  // file: the merged bank is checked as a whole before it is written.
  const bool saved = !BankDamage(s.Bank) && SaveBank(panel);
  Speak(panel, saved ? "ok" : "inv");
  return saved;
}

void CopyBank(Panel& panel) {
  auto& s = panel.state;
  const Selection selection(s);
  const std::string source = s.EntryText.size() == 4 ? s.EntryText.substr(0, 2) : "00";
  const BankUse use = LoadBankForUse(panel, BankFileName(source));
  const bool created = use == BankUse::kMissing;
  if (use == BankUse::kDamaged || (created && !CreateSource(panel, source))) {
    selection.Restore(panel);
    return;
  }
  Bank merged = s.Bank;
  CompleteSourceHeader(merged, s.StepText);
  // "create" and then "inv" must not leave the bank it said it created.
  if (!MergeBank(panel, merged) && created) {
    std::error_code ignored;
    std::filesystem::remove(panel.workDir / BankFileName(source), ignored);
  }
  selection.Restore(panel);
}

void PutChannel(Panel& panel) {
  auto& s = panel.state;
  const Selection selection(s);
  MergeBank(panel, Bank{"bank00", s.ModeName, s.StepText, " ", {{s.Frequency, " "}}, true});
  selection.Restore(panel);
}

}  // namespace voskel
