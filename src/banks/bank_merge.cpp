// Copying and merging channels from one bank into another: T copies a bank (or the search
// list), P puts the current frequency. Both end in MergeBank with the source in MergeLines.
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

std::string& Line(std::array<std::string, kBankImageLines>& lines, int i) {
  return lines[static_cast<std::size_t>(i)];
}

void SpeakCreate(Panel& panel, const std::string& number) {
  Speak(panel, "create");
  for (char c : number.substr(0, 2)) SpeakDigit(panel, c);
}

// A new, empty bank in BankLines: the number as its name, then the header lines given.
void StartNewBank(PanelState& s, const std::string& number, const std::string& mode,
                  const std::string& step) {
  for (std::string& line : s.BankLines) line.clear();
  Line(s.BankLines, 0) = Cap("bank" + number);
  Line(s.BankLines, 1) = mode;
  Line(s.BankLines, 2) = step;
  Line(s.BankLines, 3) = " ";
  Line(s.BankLines, kFirstChannel) = kEndMarker;
}

// The merge's destination into BankLines. A missing one is made from the source's header
// and only saved with the merged channels, so that a merge that fails leaves no file.
bool LoadDestination(Panel& panel, const std::string& number) {
  auto& s = panel.state;
  switch (LoadBankForUse(panel, BankFileName(number))) {
    case BankUse::kSound:
      return true;
    case BankUse::kDamaged:
      return false;
    case BankUse::kMissing:
      break;
  }
  SpeakCreate(panel, number);
  StartNewBank(s, number, Line(s.MergeLines, 1), Line(s.MergeLines, 2));
  return true;
}

// The destination's end marker on lines 4 to 186; -1 when it stands further down, where
// appending would overwrite the records that follow line 186.
int MergeEnd(const PanelState& s) {
  for (int d = kFirstChannel; d <= kMergeLastLine; d += 2)
    if (BankLine(s, d) == kEndMarker) return d;
  return -1;
}

// At most 91 channels are appended after a marker on line 186 at the latest, so the image
// never grows past line 371.
void AppendNewChannels(PanelState& s, int end) {
  for (int k = kFirstChannel; k < kMergeLastLine; k += 2) {
    const std::string& frequency = Line(s.MergeLines, k);
    if (frequency == kEndMarker) break;
    bool present = false;
    for (int i = kFirstChannel; i < end && !present; i += 2) present = BankLine(s, i) == frequency;
    if (present) continue;
    Line(s.BankLines, end) = frequency;
    Line(s.BankLines, end + 1) = Line(s.MergeLines, k + 1);
    Line(s.BankLines, end + 2) = kEndMarker;
    Line(s.BankLines, end + 3) = " ";
    end += 2;
  }
}

// The empty search list ends on line 2: its step and its empty channel list come from the
// panel, so that a bank made from it gets a whole header.
void CompleteSourceHeader(PanelState& s) {
  if (Line(s.MergeLines, kSearchListEndLine) != kEndMarker) return;
  Line(s.MergeLines, 2) = s.StepText;
  Line(s.MergeLines, 3) = " ";
  Line(s.MergeLines, kFirstChannel) = kEndMarker;
}

// A missing source of T is created empty, as said; false when it could not be saved.
bool CreateSource(Panel& panel, const std::string& number) {
  auto& s = panel.state;
  SpeakCreate(panel, number);
  StartNewBank(s, number, s.ModeName, s.StepText);
  if (SaveBank(panel)) return true;
  Speak(panel, "inv");
  return false;
}

}  // namespace

bool MergeBank(Panel& panel) {
  auto& s = panel.state;
  const std::string number =
      s.EntryText.size() == 4 ? s.EntryText.substr(2) : s.EntryText.substr(0, 2);
  if (!LoadDestination(panel, number)) return false;
  if (BankLine(s, 1) != Line(s.MergeLines, 1)) {
    Speak(panel, "incmode");
    return false;
  }
  const int end = MergeEnd(s);
  if (end < 0) {
    Speak(panel, "n");
    return false;
  }
  AppendNewChannels(s, end);
  // What P puts and the header a new bank takes come from the panel, not from a checked
  // file: the merged bank is checked as a whole before it is written.
  const bool saved = !BankDamage(s.BankLines) && SaveBank(panel);
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
  for (int i = 0; i <= kMergeLastLine; ++i) Line(s.MergeLines, i) = BankLine(s, i);
  CompleteSourceHeader(s);
  // "create" and then "inv" must not leave the bank it said it created.
  if (!MergeBank(panel) && created) {
    std::error_code ignored;
    std::filesystem::remove(panel.workDir / BankFileName(source), ignored);
  }
  selection.Restore(panel);
}

void PutChannel(Panel& panel) {
  auto& s = panel.state;
  const Selection selection(s);
  Line(s.MergeLines, 0) = "bank00";
  Line(s.MergeLines, 1) = s.ModeName;
  Line(s.MergeLines, 2) = s.StepText;
  Line(s.MergeLines, 3) = " ";
  Line(s.MergeLines, 4) = s.Frequency;
  Line(s.MergeLines, 5) = " ";
  Line(s.MergeLines, 6) = kEndMarker;
  MergeBank(panel);
  selection.Restore(panel);
}

}  // namespace voskel
