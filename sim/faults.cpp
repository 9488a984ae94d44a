#include "faults.h"

#include <charconv>
#include <cstdio>
#include <optional>

namespace voskel::sim {
namespace {

std::optional<double> Probability(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 1)
    return std::nullopt;
  return value;
}

template <typename Int>
std::optional<Int> Whole(std::string_view text) {
  Int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

bool FaultPlan::Any() const {
  return !refuse.empty() || refuseChance > 0 || dropChance > 0 || delayChance > 0 ||
         garbleChance > 0 || garbleCommandChance > 0;
}

bool SetFaultOption(FaultPlan& plan, std::string_view name, std::string_view value) {
  struct Chance {
    std::string_view name;
    double FaultPlan::*field;
  };
  static constexpr Chance kChances[] = {
      {"refuse-chance", &FaultPlan::refuseChance},
      {"drop-chance", &FaultPlan::dropChance},
      {"delay-chance", &FaultPlan::delayChance},
      {"garble-chance", &FaultPlan::garbleChance},
      {"garble-command-chance", &FaultPlan::garbleCommandChance},
  };
  for (const Chance& chance : kChances) {
    if (name != chance.name) continue;
    const auto p = Probability(value);
    if (p) plan.*chance.field = *p;
    return p.has_value();
  }
  if (name == "refuse") {
    if (value.empty()) return false;
    plan.refuse.emplace_back(value);
    return true;
  }
  if (name == "delay-ms") {
    const auto ms = Whole<std::int64_t>(value);
    if (ms) plan.delayMs = *ms;
    return ms.has_value();
  }
  if (name == "seed") {
    const auto seed = Whole<std::uint64_t>(value);
    if (seed) plan.seed = *seed;
    return seed.has_value();
  }
  return false;
}

std::string DescribeFaults(const FaultPlan& plan) {
  std::string text = "seed=" + std::to_string(plan.seed);
  for (const std::string& command : plan.refuse) text += " refuse=" + command;
  const auto add = [&text](const char* name, double p) {
    if (p > 0) text += std::string(" ") + name + "=" + Number(p);
  };
  add("refuse-chance", plan.refuseChance);
  add("drop-chance", plan.dropChance);
  add("delay-chance", plan.delayChance);
  if (plan.delayChance > 0) text += " delay-ms=" + std::to_string(plan.delayMs);
  add("garble-chance", plan.garbleChance);
  add("garble-command-chance", plan.garbleCommandChance);
  return text;
}

Faults::Faults(FaultPlan plan) : plan_(std::move(plan)) {}

void Faults::Draw(std::string_view text, char what) {
  std::string key(1, what);
  key += text;
  // FNV-1a of the text, mixed with the seed and the count of lines like it so far.
  std::uint64_t hash = 1469598103934665603ull;
  for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  state_ = plan_.seed ^ hash ^ (static_cast<std::uint64_t>(seen_[key]++) << 32);
}

// splitmix64: the same numbers from the same seed on every machine and library.
bool Faults::Chance(double p) {
  if (p <= 0) return false;
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * 0x1.0p-53 < p;
}

void Faults::Garble(std::string& text) {
  if (text.empty()) return;
  // Which byte and what it becomes come from the same stream; a byte never stays itself.
  const std::uint64_t pick = (state_ += 0x9E3779B97F4A7C15ull) * 0x2545F4914F6CDD1Dull;
  const std::size_t at = static_cast<std::size_t>(pick >> 33) % text.size();
  const auto flip = static_cast<unsigned char>(1u << ((pick >> 8) % 7));
  text[at] = static_cast<char>(static_cast<unsigned char>(text[at]) ^ flip);
}

bool Faults::Refuses(std::string_view command) {
  for (const std::string& prefix : plan_.refuse)
    if (command.substr(0, prefix.size()) == prefix) return true;
  Draw(command, '?');
  return Chance(plan_.refuseChance);
}

void Faults::GarbleCommand(std::string& command) {
  Draw(command, '>');
  if (Chance(plan_.garbleCommandChance)) Garble(command);
}

Faults::Fate Faults::OnReply(std::string& line) {
  Draw(line, '<');
  if (Chance(plan_.dropChance)) return Fate::kDropped;
  if (Chance(plan_.garbleChance)) Garble(line);
  return Chance(plan_.delayChance) ? Fate::kDelayed : Fate::kSent;
}

}  // namespace voskel::sim
