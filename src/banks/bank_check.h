#pragma once
// Whether a bank read from a file may be used: every line a bank can hold checked before
// any of it reaches the receiver or another file. The panel and the channel-list tool share
// this one judgement.
#include <optional>
#include <string_view>

#include "banks/bank_lines.h"

namespace voskel {

// The first line that makes a bank unfit, counted from 0 as the image holds it, and why.
struct DamagedLine {
  int line = 0;
  std::string_view why;
};

// Nothing when the bank is sound: no control byte in any line up to its end marker (name and
// tags included), a mode the panel knows on line 1 ("CW" with or without its blank), a step
// the receiver takes on line 2, a frequency it tunes on every channel line, and the end
// marker on an even line within the 400 a bank file holds. The search list ("Srchbank") may
// end on line 2, after its name and mode. Anything else is a file cut short, written by hand
// in another shape, or no bank at all.
std::optional<DamagedLine> BankDamage(const BankImage& lines);
// The same of the bank's lines: a bank built or edited in memory is judged as its file
// would be.
std::optional<DamagedLine> BankDamage(const Bank& bank);

}  // namespace voskel
