#include "keys/entry_edit.h"

#include <string>

#include "platform/virtual_keys.h"
#include "voice/message.h"
#include "voice/voice.h"

namespace voskel {
namespace {

bool TypingFrequency(const PanelState& s) {
  return !s.FreshFrequency;
}

void DropTypedFrequency(PanelState& s) {
  s.FrequencyEntry.clear();
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

// What the entry in progress types into; nothing for one whose only key is its prompt.
std::string* TypedText(PanelState& s) {
  if (s.EntryMode == EntryMode::kNone) return &s.FrequencyEntry;
  if (IsSearchLimitEntry(s.EntryMode)) return s.FreshEntry ? nullptr : &LimitField(s);
  if (s.EntryMode == EntryMode::kKill) return nullptr;
  return &s.EntryText;
}

// The clips that began the entry: said again when Backspace has taken everything back.
void SpeakPrompt(Panel& panel, EntryMode mode) {
  struct Prompt {
    EntryMode mode;
    const char* clip;
  };
  static constexpr Prompt kPrompts[] = {
      {EntryMode::kSearchStart, "start"}, {EntryMode::kSearchEnd, "end"},
      {EntryMode::kStep, "incr"},         {EntryMode::kTransfer, "transfer"},
      {EntryMode::kPut, "put"},           {EntryMode::kSort, "sort"},
      {EntryMode::kBank, "bank"},         {EntryMode::kRadioBank, "radbank"},
      {EntryMode::kWriteBank, "write"},   {EntryMode::kWriteBank, "fromb"},
      {EntryMode::kDelete, "delete"},     {EntryMode::kKill, "kill"},
  };
  for (const Prompt& prompt : kPrompts)
    if (prompt.mode == mode) Speak(panel, prompt.clip);
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

void UndoEntry(PanelState& s) {
  if (s.EntryMode == EntryMode::kNone) DropTypedFrequency(s);
  if (IsSearchLimitEntry(s.EntryMode) && !s.FreshEntry) LimitField(s) = s.LimitBefore;
  s.EntryMode = EntryMode::kNone;
  s.FreshEntry = false;
  s.EntryText.clear();
}

void CancelEntry(Panel& panel) {
  auto& s = panel.state;
  if (!EntryInProgress(s)) return;
  UndoEntry(s);
  Speak(panel, "cancel");
}

void TakeBackKey(Panel& panel) {
  auto& s = panel.state;
  if (!EntryInProgress(s)) return;
  std::string* typed = TypedText(s);
  const bool taken = typed != nullptr && !typed->empty();
  if (taken) typed->pop_back();
  // Only Escape ends an entry: with nothing left, the entry waits where it began.
  if (typed != nullptr && !typed->empty()) {
    // The raw test command is typed without a voice, and taken back without one.
    if (s.EntryMode != EntryMode::kTest) SpeakTyped(panel, *typed);
  } else {
    if (IsSearchLimitEntry(s.EntryMode)) {
      LimitField(s) = s.LimitBefore;
      s.FreshEntry = true;
    }
    SpeakPrompt(panel, s.EntryMode);
  }
  // What is left is heard again; the message reads as if the character was never typed.
  TakeBackKeyFromMessage(panel, taken);
}

void AbandonTypedFrequency(Panel& panel) {
  auto& s = panel.state;
  if (!TypingFrequency(s)) return;
  // The typed digits end where the listener hears them end, before the key's own work.
  if (s.EntryMode == EntryMode::kNone && HoldsEntryMessage(panel)) ResumeHeldMessage(panel);
  Speak(panel, "cancel");
  FinishMessage(panel);
  DropTypedFrequency(s);
}

}  // namespace voskel
