#include "scan/scan_exit.h"

#include "banks/bank_file.h"
#include "link/exchange.h"
#include "link/reply_fields.h"
#include "receiver/receiver_settings.h"
#include "voice/message.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// A pass the receiver did not release is tried again this long after, while no memory
// scan runs, until it is released.
constexpr std::int64_t kReleaseRetryMs = 3000;

// "MR" and the channel, then "MP0", each answered before the next goes out: taken when the
// receiver took both. A channel found empty (erased by W or at the receiver) has no pass
// left to release; "MP0" on it is refused, and the pass would be tried again for ever.
Answer Release(Panel& panel, const std::string& channel) {
  DiscardWaiting(panel);
  SendCommand(panel, "MR" + channel);
  const Answered recalled = AwaitAnswered(panel);
  Pause(panel);
  if (recalled.answer != Answer::kTaken) return recalled.answer;
  if (IsEmptyChannelReport(recalled.text)) return Answer::kTaken;
  const Answer released = SendForAnswer(panel, "MP0");
  Pause(panel);
  return released;
}

}  // namespace

void TuneBack(Panel& panel) {
  auto& s = panel.state;
  const int refusedBefore = s.RefusedCount;
  SetFrequency(panel, s.Frequency);
  Pause(panel);
  ApplyMode(panel);
  SendSetting(panel, s.AttenuatorOn ? "AT1" : "AT0");
  // Left on the last channel's settings where it refused the panel's.
  if (s.RefusedCount != refusedBefore) LearnReceiverState(panel);
}

void ReleasePassedChannels(Panel& panel) {
  auto& s = panel.state;
  // The pass list keeps every channel the receiver has not released: it is tried again
  // later, and after a lost receiver comes back, so that no channel drops out of every
  // later scan. A receiver silent to one is not waited on for the rest.
  int kept = 1;
  bool answering = true;
  for (int slot = 1; slot < s.PassCount && slot < kPassSlots; ++slot) {
    const std::string channel = s.PassList[static_cast<std::size_t>(slot)];
    const Answer answer = answering ? Release(panel, channel) : Answer::kSilent;
    if (answer == Answer::kTaken) continue;
    answering = answer != Answer::kSilent;
    s.PassList[static_cast<std::size_t>(kept++)] = channel;
  }
  s.PassCount = kept;
  s.ReleaseDueMs = panel.clock.NowMs() + kReleaseRetryMs;
}

void ReleaseLeftPasses(Panel& panel) {
  auto& s = panel.state;
  if (s.PassCount <= 1 || IsMemoryScanning(s.ScanState) || IsReceiverLost(s) ||
      panel.clock.NowMs() < s.ReleaseDueMs)
    return;
  ReleasePassedChannels(panel);
  // "MR" left the receiver on a memory channel.
  TuneBack(panel);
}

void EndMemoryScan(Panel& panel) {
  Speak(panel, "exitscan");
  panel.state.ScanState = ScanState::kOff;
  panel.state.HeardChannel.clear();
  ReleasePassedChannels(panel);
}

void StopMemoryScan(Panel& panel) {
  EndMemoryScan(panel);
  TuneBack(panel);
}

void ExitScan(Panel& panel) {
  auto& s = panel.state;
  // Dropped before the release, so that a receiver lost during it leaves no bank selected.
  s.BankState = BankState::kNone;
  s.EntryMode = EntryMode::kNone;
  StopMemoryScan(panel);
  if (s.QuitRequested) Speak(panel, "quit");
}

void EndSearch(Panel& panel) {
  auto& s = panel.state;
  // A list that could not be stored must not pass for a stored one.
  SayApart(panel, [&panel] {
    if (!SaveBank(panel)) Speak(panel, "inv");
    SpeakCount(panel, panel.state.FoundCount);
  });
  s.ScanState = ScanState::kOff;
  s.BankState = BankState::kNone;
  s.SearchActive = SearchActive::kOff;
}

void AbandonScans(Panel& panel) {
  auto& s = panel.state;
  if (IsSearching(s.SearchActive) && !SaveBank(panel)) Speak(panel, "inv");
  s.SearchActive = SearchActive::kOff;
  s.ScanState = ScanState::kOff;
  if (IsBankScanning(s.BankState)) s.BankState = BankState::kNone;
  Reset<ScanMotion>(s);
  // The passes stay listed: they are released when the receiver answers again.
}

}  // namespace voskel
