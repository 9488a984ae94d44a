#include "banks/bank_image.h"

#include "banks/bank_file.h"

namespace voskel {

int SealBank(Bank& bank) {
  const int end = ChannelEnd(bank);
  // What stood on the marker's line and after it is past the end: no save writes it.
  const auto kept = static_cast<std::size_t>((end - kFirstChannel) / 2);
  if (bank.channels.size() > kept) bank.channels.resize(kept);
  bank.ended = true;
  return end;
}

void Selection::Restore(Panel& panel) const {
  auto& s = panel.state;
  if (s.BankState != BankState::kSelected) return;
  // An edit of the selected bank itself (T or P into it) leaves its new image in memory;
  // any other edit left another bank there. Either way the channel stays the one selected.
  if (s.BankFileName != name && LoadBankForUse(panel, name) != BankUse::kSound) {
    s.BankState = BankState::kNone;
    return;
  }
  const int end = SealBank(s.Bank);
  s.LastChannelIndex = end - 2;
  s.ChannelIndex = channel < end ? channel : kFirstChannel;
  if (end == kFirstChannel) s.BankState = BankState::kNone;
}

}  // namespace voskel
