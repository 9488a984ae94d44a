#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace voskel::sim {

// The squelch opens at this level; noise always stays below it.
inline constexpr int kSquelchLevel = 20;

// One transmitter on the air. With both onSec and offSec above zero it comes and goes:
// on for onSec, off for offSec, starting on at time zero; otherwise it is always on.
struct Signal {
  double mhz = 0;
  double widthKhz = 0;
  int level = 0;  // 0..255
  double onSec = 0;
  double offSec = 0;
};

class SignalList {
 public:
  SignalList() = default;
  explicit SignalList(std::vector<Signal> signals) : signals_(std::move(signals)) {}

  // The strongest signal on the air at nowMs whose width covers hz, else the noise
  // there. The attenuator takes 20 off a signal and halves the noise.
  int LevelAt(std::int64_t hz, std::int64_t nowMs, bool attenuator) const;
  const std::vector<Signal>& Signals() const { return signals_; }

 private:
  std::vector<Signal> signals_;
};

// A few signals in each of the bands a listener is likely to try first: FM repeaters in
// 145-146 MHz, air band AM in 118-137 MHz, broadcast WFM in 88-108 MHz and 430-440 MHz.
SignalList BuiltInBand();

struct SignalParse {
  SignalList list;
  std::vector<std::string> errors;  // "line 3: ..." for each line that was skipped
};

// One signal a line: MHz, width kHz, level, optionally seconds on and seconds off,
// separated by blanks or commas; '#' starts a comment.
SignalParse ParseSignals(std::string_view text);

}  // namespace voskel::sim
