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
  std::string frequency;
  std::string tag;
  double value = 0;
};

}  // namespace

void SortBank(Panel& panel) {
  auto& s = panel.state;
  const Selection selection(s);
  if (LoadBankForUse(panel, BankFileName(s.EntryText)) != BankUse::kSound) {
    selection.Restore(panel);
    return;
  }
  // The short search list gets its end marker where its channels would start.
  const int end = SealBank(s);
  std::vector<Channel> channels;
  for (int i = kFirstChannel; i < end; i += 2) {
    const std::string& frequency = BankLine(s, i);
    channels.push_back({frequency, BankLine(s, i + 1), ReadNumber(frequency)});
  }
  // Equal values keep their order.
  std::stable_sort(channels.begin(), channels.end(),
                   [](const Channel& a, const Channel& b) { return a.value < b.value; });

  // A channel is a repeat when its text equals that of the channel before it and that one
  // is kept: of three equal neighbours only the middle one goes. The marks are kept apart
  // from the texts, so a frequency line that is a single space is a channel like any other.
  int line = kFirstChannel;
  bool previousKept = false;
  for (std::size_t k = 0; k < channels.size(); ++k) {
    const bool repeat = previousKept && k > 0 && channels[k].frequency == channels[k - 1].frequency;
    previousKept = !repeat;
    if (repeat) continue;
    s.BankLines[static_cast<std::size_t>(line)] = channels[k].frequency;
    s.BankLines[static_cast<std::size_t>(line + 1)] = channels[k].tag;
    line += 2;
  }
  s.BankLines[static_cast<std::size_t>(line)] = kEndMarker;
  for (int i = line + 1; i <= end + 1; ++i) s.BankLines[static_cast<std::size_t>(i)].clear();

  Speak(panel, SaveBank(panel) ? "ok" : "inv");
  selection.Restore(panel);
}

}  // namespace voskel
