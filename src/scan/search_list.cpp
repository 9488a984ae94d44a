#include "scan/search_list.h"

#include <string>

#include "banks/bank_file.h"
#include "panel/layout.h"
#include "panel/pen.h"
#include "voice/voice.h"

namespace voskel {
namespace {

constexpr int kMaxSearchHits = 91;

void EmptyList(PanelState& s) {
  s.BankFileName = kSearchListFile;
  s.Bank = Bank{"Srchbank", s.ModeName, s.StepText, " ", {}, true};
}

// The hit goes at the end of the list unless the list holds it already, is full, or has no
// end marker to put it before (a bank00.dat written by hand).
bool AddHit(Bank& list, const std::string& frequency, int found) {
  if (found >= kMaxSearchHits || !list.ended || EndLine(list) >= kBankFileLines) return false;
  for (const BankChannel& channel : list.channels)
    if (channel.frequency == frequency) return false;
  list.channels.push_back({frequency, " "});
  return true;
}

void ShowFoundCount(Panel& panel) {
  StartLine(panel, ScreenLine::kFoundCount);
  PrintAt(panel, "Found", "\r\n");
  // The count follows the word: the search limits, drawn large across the middle, would
  // cover it further right.
  PrintAt(panel, " ", panel.state.FoundCount, "\r\n");
  SetColour(panel, platform::kBlack);
}

}  // namespace

void CreateSearchList(Panel& panel) {
  EmptyList(panel.state);
  // A list that cannot be stored now is told when Enter tries again; the search itself
  // does not need the file.
  SaveBank(panel);
}

void RecordSearchHit(Panel& panel) {
  auto& s = panel.state;
  // A search the panel followed without starting it (the receiver would not leave it)
  // finds the buffer holding whatever bank was read last: hits never go into that bank.
  if (s.BankFileName != kSearchListFile) {
    EmptyList(s);
    s.FoundCount = 0;
  }
  const bool added = AddHit(s.Bank, s.Frequency, s.FoundCount);
  if (added) s.FoundCount += 1;
  // On disk at once: a crash, a kill or a power cut keeps the hits found so far.
  if (added && !SaveBank(panel)) Speak(panel, "inv");
  if (added && s.StopMode == StopMode::kContinue) {
    ShowFoundCount(panel);
    SpeakCount(panel, s.FoundCount);
  }
  // Told at the hit that filled the list and at every later one.
  if (s.FoundCount >= kMaxSearchHits) Speak(panel, "bf");
}

}  // namespace voskel
