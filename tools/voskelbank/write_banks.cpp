#include "write_banks.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "bank_plan.h"

namespace voskelbank {
namespace {

namespace fs = std::filesystem;

void Tell(const std::string& where, const std::vector<Message>& messages) {
  for (const std::string& text : InLineOrder(messages))
    std::fprintf(stderr, "%s: %s\n", where.c_str(), text.c_str());
}

// One message for all the banks that exist: they are replaced only on request.
void RefuseExisting(const Options& options, const BankPlan& plan, std::vector<Message>& problems) {
  std::vector<std::string> existing;
  for (const PlannedBank& bank : plan.banks) {
    std::error_code ignored;
    const std::string file = voskel::BankFileName(bank.number);
    if (fs::exists(fs::path(options.dir) / file, ignored)) existing.push_back(file);
  }
  std::string names;
  for (std::size_t i = 0; i < existing.size(); ++i)
    names += (i == 0 ? "" : i + 1 == existing.size() ? " and " : ", ") + existing[i];
  if (!existing.empty())
    problems.push_back({0, names + (existing.size() == 1 ? " exists" : " exist") +
                               "; --replace replaces " + (existing.size() == 1 ? "it" : "them")});
}

}  // namespace

int WriteBanks(const Options& options, const ChannelList& list, std::string_view bankName,
               const std::string& where) {
  // The banks of the rows that are right, so that the banks in the way are told as well.
  const BankPlan plan = PlanBanks(list, std::stoi(options.bank), bankName, options.stepHz);
  std::vector<Message> problems = list.problems;
  problems.insert(problems.end(), plan.problems.begin(), plan.problems.end());
  if (!options.replace) RefuseExisting(options, plan, problems);
  if (!problems.empty()) {
    Tell(where, problems);
    std::fprintf(stderr, "voskelbank: nothing written\n");
    return kFailed;
  }
  std::vector<Message> notes = list.notes;
  notes.insert(notes.end(), plan.notes.begin(), plan.notes.end());
  Tell(where, notes);
  for (const PlannedBank& bank : plan.banks) {
    const fs::path path = fs::path(options.dir) / voskel::BankFileName(bank.number);
    if (!voskel::WriteBankFile(path, bank.contents)) {
      std::fprintf(stderr, "voskelbank: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
      return kFailed;
    }
    std::fprintf(stderr, "wrote %s\n", Describe(bank).c_str());
  }
  return kDone;
}

}  // namespace voskelbank
