// gqrx bookmarks made into banks: every bank made goes out as bookmarks that gqrx reads as
// they were written, and comes back as the same bank.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "fuzz/invariant.h"
#include "voskelbank/bank_plan.h"
#include "voskelbank/gqrx_bookmarks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const voskelbank::ChannelList list = voskelbank::ReadGqrxBookmarks(input, {});
  const voskelbank::BankPlan plan = voskelbank::PlanBanks(list, 1, "gqrx", 0);
  if (!list.problems.empty() || !plan.problems.empty()) return 0;
  for (const voskelbank::PlannedBank& bank : plan.banks) {
    const voskel::BankImage lines = voskel::ImageOf(bank.contents);
    const voskelbank::Bookmarks bookmarks = voskelbank::BankToGqrx(lines);
    Require(bookmarks.problems.empty() && bookmarks.notes.empty(),
            "a bank made goes out as it is");
    Require(voskelbank::LooksLikeGqrx(bookmarks.text), "and looks like gqrx's own");
    const voskelbank::BankPlan back =
        voskelbank::PlanBanks(voskelbank::ReadGqrxBookmarks(bookmarks.text, {}), 1, "gqrx", 0);
    Require(back.problems.empty() && back.banks.size() == 1 &&
                std::equal(lines.begin() + 1, lines.end(),
                           voskel::ImageOf(back.banks[0].contents).begin() + 1),
            "and comes back the same");
  }
  return 0;
}
