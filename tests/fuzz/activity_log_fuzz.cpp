// The activity log as voskelbank reads it, perhaps edited by hand: the summary is made, and
// the busiest become banks that read back as made, of frequencies the receiver tunes.
#include <cstdint>
#include <sstream>
#include <string_view>

#include "fuzz/invariant.h"
#include "receiver/frequency_text.h"
#include "voskelbank/activity_report.h"
#include "voskelbank/bank_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  voskelbank::ActivityLog log;
  voskelbank::ReadActivity(std::string_view(reinterpret_cast<const char*>(data), size), "log", log);
  voskelbank::SummaryText(log, {}, 5);
  int signals = 0;
  const auto busiest = voskelbank::TopFrequencies(voskelbank::Tally(log, {}, signals),
                                                  voskelbank::Ranking::kByTime, 400);
  const voskelbank::BankPlan plan =
      voskelbank::PlanBanks(voskelbank::AsChannelList(busiest), 1, "heard", 0);
  for (const voskelbank::PlannedBank& bank : plan.banks) {
    const voskel::BankImage lines = voskel::ImageOf(bank.contents);
    const int channels = static_cast<int>(bank.contents.channels.size());
    std::istringstream file(voskel::BankFileText(bank.contents));
    voskel::BankImage read;
    Require(voskel::ReadBankLines(file, read) == voskel::kFirstChannel + 2 * channels && read == lines,
            "a bank of the busiest reads back as made");
    for (int i = voskel::kFirstChannel; i < voskel::kFirstChannel + 2 * channels; i += 2)
      Require(voskel::TunableFrequency(lines[static_cast<std::size_t>(i)]),
              "and holds frequencies the receiver tunes");
  }
  return 0;
}
