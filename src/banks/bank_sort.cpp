// Sorting a bank by frequency and dropping the repeats that then stand next to each other.
#include <algorithm>
#include <string>
#include <vector>

#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "banks/bank_keys.h"
#include "core/text.h"
#include "voice/voice.h"

namespace voskel {
namespace {

struct Channel {
  BankChannel texts;
  double value = 0;
};

// A channel is a repeat when its text equals that of the channel before it and that one
// is kept: of three equal neighbours only the middle one goes. The marks are kept apart
// from the texts, so a frequency line that is a single space is a channel like any other.
std::vector<BankChannel> WithoutRepeats(const std::vector<Channel>& channels) {
  std::vector<BankChannel> kept;
  bool previousKept = false;
  for (std::size_t k = 0; k < channels.size(); ++k) {
    const bool repeat = previousKept && k > 0 &&
                        channels[k].texts.frequency == channels[k - 1].texts.frequency;
    previousKept = !repeat;
    if (!repeat) kept.push_back(channels[k].texts);
  }
  return kept;
}

}  // namespace

void SortBank(Panel& panel) {
  auto& s = panel.state;
  const Selection selection(s);
  if (LoadBankForUse(panel, BankFileName(s.EntryText)) != BankUse::kSound) {
    selection.Restore(panel);
    return;
  }
  // The short search list gets its end marker where its channels would start.
  SealBank(s.Bank);
  std::vector<Channel> channels;
  for (const BankChannel& channel : s.Bank.channels)
    channels.push_back({channel, ReadNumber(channel.frequency)});
  // Equal values keep their order.
  std::stable_sort(channels.begin(), channels.end(),
                   [](const Channel& a, const Channel& b) { return a.value < b.value; });
  s.Bank.channels = WithoutRepeats(channels);

  Speak(panel, SaveBank(panel) ? "ok" : "inv");
  selection.Restore(panel);
}

}  // namespace voskel
