#pragma once
// A receiver on a bad day: commands refused, replies lost, late or garbled. Every choice
// comes from one seed and the line it is made for (the how-manieth of its text), so a run
// with the same input is the same run again, and leaving other lines out of it changes
// nothing for this one.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace voskel::sim {

struct FaultPlan {
  std::uint64_t seed = 1;
  // Commands beginning with one of these are answered "?" and not carried out.
  std::vector<std::string> refuse;
  // Chances from 0 to 1, each drawn afresh for every command or reply line.
  double refuseChance = 0;         // any command answered "?" and not carried out
  double dropChance = 0;           // a reply line lost on the way
  double delayChance = 0;          // a reply line, and all behind it, held back delayMs
  std::int64_t delayMs = 500;
  double garbleChance = 0;         // one byte of a reply line changed
  double garbleCommandChance = 0;  // one byte of a command changed before it is carried out

  bool Any() const;
};

// Reads "--refuse-chance=0.1"-style settings: one name and value at a time, false for a
// name it does not know or a value that is no number in range.
bool SetFaultOption(FaultPlan& plan, std::string_view name, std::string_view value);
// The plan as the options that make it again, for a case file or a report.
std::string DescribeFaults(const FaultPlan& plan);

class Faults {
 public:
  explicit Faults(FaultPlan plan = {});

  const FaultPlan& Plan() const { return plan_; }
  bool Refuses(std::string_view command);
  // The command as it arrives: now and then with one byte changed.
  void GarbleCommand(std::string& command);

  enum class Fate { kSent, kDropped, kDelayed };
  // What becomes of a reply line; a line that goes out may have been garbled.
  Fate OnReply(std::string& line);

 private:
  // The choices for one line: a stream of numbers from the seed, the text and its count.
  void Draw(std::string_view text, char what);
  bool Chance(double p);
  void Garble(std::string& text);

  FaultPlan plan_;
  std::uint64_t state_ = 0;
  std::unordered_map<std::string, std::uint32_t> seen_;
};

}  // namespace voskel::sim
