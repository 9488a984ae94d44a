// Selecting a bank and stepping through its channels with the arrows.
#include <string>

#include "banks/bank_check.h"
#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "banks/bank_keys.h"
#include "core/text.h"
#include "panel/layout.h"
#include "panel/panel_lines.h"
#include "panel/pen.h"
#include "receiver/receiver_settings.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// Blanks enough to clear the longest tag the screen shows.
constexpr int kTagBlanks = 39;

// Frequency prints leave the pen black in the small font; the tag leaves it the same way.
void RestorePen(Panel& panel) {
  SetColour(panel, platform::kBlack);
  SetFont(panel, kSmallAerialFont);
}

bool TuneChannel(Panel& panel) {
  auto& s = panel.state;
  s.Frequency = BankLine(s.Bank, s.ChannelIndex);
  return SetFrequency(panel, s.Frequency);
}

}  // namespace

void BlankChannelTag(Panel& panel) {
  StartLine(panel, ScreenLine::kChannelTag);
  PrintAt(panel, std::string(kTagBlanks, ' '));
  RestorePen(panel);
}

void ShowChannelTag(Panel& panel) {
  StartLine(panel, ScreenLine::kChannelTag);
  PrintAt(panel, BankLine(panel.state.Bank, panel.state.ChannelIndex + 1));
  RestorePen(panel);
}

void SelectBank(Panel& panel) {
  auto& s = panel.state;
  Pause(panel);
  const std::string before = s.BankFileName;
  const BankUse use = LoadBankForUse(panel, BankFileName(s.EntryText));
  // A missing or damaged bank changes nothing: the bank selected before stays selected, a
  // search or scan under way goes on, and the bank stays with its own file (a search
  // list is never saved under another bank's name).
  if (use != BankUse::kSound) {
    s.BankFileName = before;
    return;
  }
  s.EntryMode = EntryMode::kNone;
  const int end = SealBank(s.Bank);
  s.LastChannelIndex = end - 2;
  s.ChannelIndex = kFirstChannel;
  if (end == kFirstChannel) {
    // The end marker is no frequency: the receiver stays where it is.
    s.BankState = BankState::kNone;
    BlankChannelTag(panel);
    Speak(panel, "empty");
    return;
  }
  s.BankState = BankState::kSelected;
  Pause(panel);
  TuneChannel(panel);
  BlankChannelTag(panel);
  ShowChannelTag(panel);
  ApplyBankModeAndStep(panel);
  Speak(panel, "sel");
}

void ApplyBankModeAndStep(Panel& panel) {
  auto& s = panel.state;
  Pause(panel);
  s.ModeName = s.Bank.mode;
  ApplyMode(panel);
  Pause(panel);
  s.StepText = s.Bank.step;
  SetStep(panel);
  ShowSearchLine(panel);  // the bank's step is the search's now
}

void StepChannel(Panel& panel, int direction) {
  auto& s = panel.state;
  // The bank was checked when its file was read; what is tuned from it is checked again.
  if (IsSearching(s.SearchActive) || IsMemoryScanning(s.ScanState) || BankDamage(s.Bank)) {
    Speak(panel, "inv");
    return;
  }
  const int end = ChannelEnd(s.Bank);
  if (end == kFirstChannel) {
    Speak(panel, "empty");
    return;
  }
  BlankChannelTag(panel);
  s.LastChannelIndex = end - 2;
  const int from = s.ChannelIndex;
  s.ChannelIndex += direction > 0 ? 2 : -2;
  if (s.ChannelIndex < kFirstChannel)
    s.ChannelIndex = s.LastChannelIndex;
  else if (s.ChannelIndex >= end || s.ChannelIndex % 2 != 0)
    s.ChannelIndex = kFirstChannel;
  if (!TuneChannel(panel)) {
    // The receiver stays on the channel it was on, and so does the selection.
    s.ChannelIndex = from;
    ShowChannelTag(panel);
    return;
  }
  ShowChannelTag(panel);
  if (s.ChannelIndex == kFirstChannel) Speak(panel, "beep");
  const std::string tag = BankLine(s.Bank, s.ChannelIndex + 1);
  SpeakTag(panel, tag);
  if (IsBlank(tag)) SpeakWhereTo(panel, s.ReceiverFrequency);
}

}  // namespace voskel
