#pragma once
// A channel list made into banks as the receiver holds them. A bank has one mode, so a list
// of several modes fills consecutive banks, one for each mode in the order the list first
// names it; a mode with more channels than a bank holds goes on in the next bank.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "banks/bank_lines.h"
#include "channel_list.h"

namespace voskelbank {

// The channels a bank holds: the end marker stands on line 398 at the latest.
inline constexpr int kBankChannels = (voskel::kLastEndLine - voskel::kFirstChannel) / 2;
// The step of a bank whose list gives none, as CHIRP reads a file without TStep.
inline constexpr std::int64_t kDefaultStepHz = 5000;

struct PlannedBank {
  std::string number;  // "07"
  voskel::Bank contents;
};

struct BankPlan {
  std::vector<PlannedBank> banks;
  std::vector<Message> problems;
  std::vector<Message> notes;
};

// From bank firstBank (1 to 99) on. nameUtf8 names the banks; with several, each name adds
// the mode, and the part of a mode that goes on in another bank. stepHz is the step of the
// channels whose list gives none (0: kDefaultStepHz).
BankPlan PlanBanks(const ChannelList& list, int firstBank, std::string_view nameUtf8,
                   std::int64_t stepHz);

// "bank07.dat: FM, 12 channels, 12.5 kHz"
std::string Describe(const PlannedBank& bank);

}  // namespace voskelbank
