#include "bank_plan.h"

#include <algorithm>
#include <optional>

#include "chirp_layout.h"
#include "decimal_text.h"
#include "platform/latin1_text.h"

namespace voskelbank {
namespace {

namespace platform = voskel::platform;

constexpr int kLastBank = 99;

using Group = std::vector<const ListChannel*>;

std::string ModeName(std::string_view modeLine) {
  return std::string(ChirpMode(modeLine).value_or(modeLine));
}

// The channels of each mode in the list's order, cut into parts a bank holds.
std::vector<Group> GroupByMode(const std::vector<ListChannel>& channels, int& modes) {
  std::vector<std::string_view> order;
  for (const ListChannel& channel : channels)
    if (std::find(order.begin(), order.end(), channel.mode) == order.end())
      order.push_back(channel.mode);
  modes = static_cast<int>(order.size());
  std::vector<Group> groups;
  for (const std::string_view mode : order) {
    Group ofMode;
    for (const ListChannel& channel : channels)
      if (channel.mode == mode) ofMode.push_back(&channel);
    for (std::size_t at = 0; at < ofMode.size(); at += kBankChannels)
      groups.emplace_back(ofMode.begin() + static_cast<std::ptrdiff_t>(at),
                          ofMode.begin() + static_cast<std::ptrdiff_t>(
                                               std::min(ofMode.size(), at + kBankChannels)));
  }
  return groups;
}

std::optional<std::string> BankName(std::string_view utf8, BankPlan& plan) {
  const std::optional<std::string> latin1 = platform::Utf8ToLatin1(utf8);
  const bool control = latin1 && std::any_of(latin1->begin(), latin1->end(), [](char c) {
                         return platform::IsControlCode(static_cast<unsigned char>(c));
                       });
  // Room for the mode and the part that may follow.
  if (latin1 && !control && latin1->size() <= voskel::kMaxText - 8) return latin1;
  plan.problems.push_back({0, "the bank's name " + Quoted(utf8) +
                                  " must be Latin-1 text without control characters, at most " +
                                  std::to_string(voskel::kMaxText - 8) + " characters"});
  return std::nullopt;
}

// The step of the group's first channel that gives one; the others with another are told.
std::int64_t GroupStep(const Group& group, std::int64_t stepHz, const std::string& file,
                       BankPlan& plan) {
  std::int64_t step = 0;
  std::vector<int> other;
  for (const ListChannel* channel : group) {
    const std::int64_t own = channel->stepHz != 0 ? channel->stepHz : stepHz;
    if (step == 0) step = own;
    if (own != step) other.push_back(channel->line);
  }
  if (!other.empty())
    plan.notes.push_back({other.front(), LinesText(other) + ": another step; " + file +
                                             " keeps one, " + DecimalText(step, 3, 0) + " kHz"});
  return step;
}

PlannedBank MakeBank(const Group& group, int number, const std::string& name, std::int64_t stepHz,
                     BankPlan& plan) {
  PlannedBank bank;
  bank.number = (number < 10 ? "0" : "") + std::to_string(number);
  const std::string step =
      DecimalText(GroupStep(group, stepHz, voskel::BankFileName(bank.number), plan), 3, 0);
  bank.contents = voskel::Bank{name, std::string(group.front()->mode), step, " ", {}, true};
  for (const ListChannel* channel : group)
    bank.contents.channels.push_back({DecimalText(channel->hz, 6, 0), channel->tag});
  return bank;
}

}  // namespace

BankPlan PlanBanks(const ChannelList& list, int firstBank, std::string_view nameUtf8,
                   std::int64_t stepHz) {
  BankPlan plan;
  int modes = 0;
  const std::vector<Group> groups = GroupByMode(list.channels, modes);
  const std::optional<std::string> name = BankName(nameUtf8, plan);
  const int lastBank = firstBank + static_cast<int>(groups.size()) - 1;
  if (lastBank > kLastBank)
    plan.problems.push_back({0, "the list needs " + std::to_string(groups.size()) + " banks from " +
                                    std::to_string(firstBank) +
                                    " on, but banks end at 99; give a lower first bank"});
  if (!plan.problems.empty() || !name) return plan;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    std::string label = *name;
    if (modes > 1) label += " " + ModeName(groups[g].front()->mode);
    const int part = static_cast<int>(std::count_if(
        groups.begin(), groups.begin() + static_cast<std::ptrdiff_t>(g) + 1,
        [&](const Group& other) { return other.front()->mode == groups[g].front()->mode; }));
    if (part > 1) label += " " + std::to_string(part);
    plan.banks.push_back(MakeBank(groups[g], firstBank + static_cast<int>(g), label,
                                  stepHz != 0 ? stepHz : kDefaultStepHz, plan));
  }
  return plan;
}

std::string Describe(const PlannedBank& bank) {
  const std::size_t channels = bank.contents.channels.size();
  return voskel::BankFileName(bank.number) + ": " + ModeName(bank.contents.mode) + ", " +
         std::to_string(channels) + (channels == 1 ? " channel, " : " channels, ") +
         bank.contents.step + " kHz";
}

}  // namespace voskelbank
