#include "keys/entry_edit.h"

#include <string>

#include "platform/virtual_keys.h"
#include "receiver/receiver_settings.h"
#include "voice/message.h"
#include "voice/voice.h"

namespace voskel {
namespace {

bool TypingFrequency(const PanelState& s) {
  return s.EntryMode == EntryMode::kNone && !s.FreshFrequency;
}

void DropTypedFrequency(PanelState& s) {
  BackToReceiverFrequency(s);
  s.FreshFrequency = true;
}

// Digits and the point by their clips, a bank letter by its own.
void SpeakTyped(Panel& panel, const std::string& typed) {
  for (char c : typed) {
    if (c == '.' || keys::IsDigit(c))
      SpeakDigit(panel, c);
    else
      Speak(panel, std::string(1, c));
  }
}

// The letters, arrows, page and function keys that do something of their own. Space
// only nudges a halted receiver on, and keys without a command do nothing, so neither
// throws away what is being typed.
bool HasCommand(const PanelState& s, int key) {
  switch (key) {
    case 'A':
    case 'B':
    case 'C':
    case 'D':
    case 'E':
    case 'F':
    case 'G':
    case 'H':
    case 'I':
    case 'K':
    case 'L':
    case 'M':
    case 'N':
    case 'O':
    case 'P':
    case 'R':
    case 'S':
    case 'T':
    case 'V':
    case 'W':
    case 'Z':
    case keys::kPageUp:
    case keys::kPageDown:
    case keys::kLeft:
    case keys::kUp:
    case keys::kRight:
    case keys::kDown:
      return true;
    case 'X':
      return s.DebugSwitch == 1;
    default:
      return key >= keys::kF1 && key <= keys::kF7;
  }
}

}  // namespace

std::string& LimitField(PanelState& s) {
  if (s.EntryMode == EntryMode::kSearchStart) return s.SearchLow;
  if (s.EntryMode == EntryMode::kSearchEnd) return s.SearchHigh;
  return s.StepText;
}

bool EntryInProgress(const PanelState& s) {
  return s.EntryMode != EntryMode::kNone || !s.FreshFrequency;
}

void CancelEntry(Panel& panel) {
  auto& s = panel.state;
  if (!EntryInProgress(s)) return;
  if (TypingFrequency(s)) DropTypedFrequency(s);
  if (IsSearchLimitEntry(s.EntryMode) && !s.FreshEntry) LimitField(s) = s.LimitBefore;
  s.EntryMode = EntryMode::kNone;
  s.FreshEntry = false;
  s.EntryText.clear();
  Speak(panel, "cancel");
}

void TakeBackKey(Panel& panel) {
  auto& s = panel.state;
  if (!EntryInProgress(s)) return;
  std::string* typed = nullptr;
  if (TypingFrequency(s))
    typed = &s.Frequency;
  else if (IsSearchLimitEntry(s.EntryMode))
    typed = s.FreshEntry ? nullptr : &LimitField(s);
  else if (s.EntryMode == EntryMode::kTest || IsBankNumberEntry(s.EntryMode) ||
           s.EntryMode == EntryMode::kDelete || s.EntryMode == EntryMode::kWriteBank)
    typed = &s.EntryText;
  // The bank letter after G and the K prompt are a single choice: taking it back is
  // taking back the entry.
  if (typed == nullptr || typed->size() <= 1) {
    CancelEntry(panel);
    return;
  }
  typed->pop_back();
  // The raw test command is typed without a voice, and taken back without one.
  if (s.EntryMode != EntryMode::kTest) SpeakTyped(panel, *typed);
  // What is left is heard again; the message reads as if the character was never typed.
  TakeBackKeyFromMessage(panel);
}

void AbandonTypedFrequency(Panel& panel, int key) {
  auto& s = panel.state;
  if (TypingFrequency(s) && HasCommand(s, key)) DropTypedFrequency(s);
}

}  // namespace voskel
