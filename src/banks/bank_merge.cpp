// Copying and merging channels from one bank into another: T copies a bank (or the search
// list), P puts the current frequency. Both end in MergeBank with the source in MergeLines.
#include <string>

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

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

void SpeakCreate(Panel& panel, const std::string& number) {
  Speak(panel, "create");
  for (char c : number.substr(0, 2)) SpeakDigit(panel, c);
}

// The empty search list ends on line 2, and a file cut short may end even earlier: a
// header line that holds the end marker is filled in from the panel, and the source then
// carries no channel.
void CompleteSourceHeader(PanelState& s) {
  for (int i = 0; i < kFirstChannel; ++i) {
    if (Line(s.MergeLines, i) != kEndMarker) continue;
    if (i == 0) Line(s.MergeLines, 0).clear();
    if (i <= 1) Line(s.MergeLines, 1) = s.ModeName;
    if (i <= 2) Line(s.MergeLines, 2) = s.StepText;
    Line(s.MergeLines, 3) = " ";
    Line(s.MergeLines, kFirstChannel) = kEndMarker;
    return;
  }
}

}  // namespace

void MergeBank(Panel& panel) {
  auto& s = panel.state;
  const std::string number =
      s.EntryText.size() == 4 ? s.EntryText.substr(2) : s.EntryText.substr(0, 2);
  s.BankFileName = BankFileName(number);
  LoadBank(panel);
  if (s.IoResult != 0) {
    SpeakCreate(panel, number);
    Line(s.BankLines, 0) = Cap("bank" + number);
    for (int i = 1; i < kFirstChannel; ++i) Line(s.BankLines, i) = Line(s.MergeLines, i);
    Line(s.BankLines, kFirstChannel) = kEndMarker;
    if (!SaveBank(panel)) {
      Speak(panel, "inv");
      return;
    }
  }
  if (BankLine(s, 1) != Line(s.MergeLines, 1)) {
    Speak(panel, "incmode");
    return;
  }
  int end = -1;
  for (int d = kFirstChannel; d <= kMergeLastLine; d += 2) {
    if (BankLine(s, d) == kEndMarker) {
      end = d;
      break;
    }
  }
  if (end < 0) {
    // Appending here would overwrite the records that follow line 186.
    Speak(panel, "n");
    return;
  }
  // At most 91 channels are appended after a marker on line 186 at the latest, so the
  // image never grows past line 371.
  for (int k = kFirstChannel; k < kMergeLastLine; k += 2) {
    const std::string& frequency = Line(s.MergeLines, k);
    if (frequency == kEndMarker) break;
    // Lines past the end of a source file without its marker are no channels.
    if (IsBlank(frequency)) continue;
    bool present = false;
    for (int i = kFirstChannel; i < end && !present; i += 2) present = BankLine(s, i) == frequency;
    if (present) continue;
    Line(s.BankLines, end) = frequency;
    Line(s.BankLines, end + 1) = Line(s.MergeLines, k + 1);
    Line(s.BankLines, end + 2) = kEndMarker;
    Line(s.BankLines, end + 3) = " ";
    end += 2;
  }
  Speak(panel, SaveBank(panel) ? "ok" : "inv");
}

void CopyBank(Panel& panel) {
  auto& s = panel.state;
  const Selection selection(s);
  const std::string source = s.EntryText.size() == 4 ? s.EntryText.substr(0, 2) : "00";
  s.BankFileName = BankFileName(source);
  LoadBank(panel);
  if (s.IoResult != 0) {
    SpeakCreate(panel, source);
    Line(s.BankLines, 0) = Cap("bank" + source);
    Line(s.BankLines, 1) = s.ModeName;
    Line(s.BankLines, 2) = s.StepText;
    Line(s.BankLines, 3) = " ";
    Line(s.BankLines, kFirstChannel) = kEndMarker;
    if (!SaveBank(panel)) {
      Speak(panel, "inv");
      selection.Restore(panel);
      return;
    }
  }
  for (int i = 0; i <= kMergeLastLine; ++i) Line(s.MergeLines, i) = BankLine(s, i);
  CompleteSourceHeader(s);
  MergeBank(panel);
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
