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
  s.BankLines[0] = "Srchbank";
  s.BankLines[1] = s.ModeName;
  s.BankLines[2] = s.StepText;
  s.BankLines[3] = " ";
  s.BankLines[kFirstChannel] = kEndMarker;
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
  bool added = false;
  for (int i = kFirstChannel; i < kBankFileLines; i += 2) {
    auto& line = s.BankLines[static_cast<std::size_t>(i)];
    if (line == s.Frequency || s.FoundCount >= kMaxSearchHits) break;
    if (line == kEndMarker) {
      line = s.Frequency;
      s.BankLines[static_cast<std::size_t>(i + 1)] = " ";
      s.BankLines[static_cast<std::size_t>(i + 2)] = kEndMarker;
      s.FoundCount += 1;
      added = true;
      break;
    }
  }
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
