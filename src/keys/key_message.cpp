#include "keys/key_message.h"

#include "keys/entry_edit.h"
#include "keys/key_table.h"
#include "platform/virtual_keys.h"
#include "voice/message.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// Whether the key types into the entry in progress, takes back, cancels or ends it.
bool GoesOnWithEntry(const PanelState& s, KeyCode key) {
  if (!EntryInProgress(s)) return false;
  const EntryUse use = KeyRowFor(s, key).entry;
  return use == EntryUse::kTypesInto || use == EntryUse::kEndsIt;
}

// Digits typed for a frequency, taken up again after another entry came between (S and a
// limit, a bank entry given up): they are heard again, so that what Enter tunes is never
// digits the listener no longer has in mind.
void SayTypedAgain(Panel& panel) {
  for (const char c : panel.state.FrequencyEntry) {
    MarkKeyStart(panel);
    SpeakDigit(panel, c);
  }
}

}  // namespace

KeyMessage BeginKeyMessage(Panel& panel, KeyCode key) {
  const auto& s = panel.state;
  KeyMessage begun{GoesOnWithEntry(s, key), EntryInProgress(s), s.EntryMode, s.EntrySerial};
  if (begun.goesOnWithEntry && HoldsEntryMessage(panel))
    ResumeHeldMessage(panel);
  else if (begun.goesOnWithEntry && s.EntryMode == EntryMode::kNone)
    SayTypedAgain(panel);
  // Digits typed key by key make one number; whatever else a key says starts afresh.
  if (key != keys::kPoint && !keys::IsDigit(key)) EndNumber(panel);
  MarkKeyStart(panel);
  return begun;
}

void EndKeyMessage(Panel& panel, const KeyMessage& key) {
  const auto& s = panel.state;
  const bool entryGoesOn = EntryInProgress(s);
  const bool otherEntry = s.EntryMode != key.modeBefore || s.EntrySerial != key.serialBefore;
  if (!key.goesOnWithEntry && HoldsEntryMessage(panel) && (!entryGoesOn || otherEntry))
    FinishHeldMessage(panel);
  // A multi-key entry that ended leaves digits typed for a frequency pending: its message
  // is finished, and theirs takes up again at the next digit.
  const bool holds = otherEntry ? s.EntryMode != EntryMode::kNone
                                : key.goesOnWithEntry || !key.entryBefore;
  if (entryGoesOn && holds)
    HoldMessage(panel);
  else
    FinishMessage(panel);
}

}  // namespace voskel
