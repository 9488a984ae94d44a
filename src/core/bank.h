#pragma once
// A bank as its file holds it: a title, a mode and a step, then the channels, each a
// frequency and a tag. The texts are kept as written, so that a file read and written
// again is the same file, whatever a hand or a crash left in it (banks/bank_lines.h reads
// and writes the format; banks/bank_check.h judges whether a bank may be used).
#include <string>
#include <vector>

namespace voskel {

inline constexpr const char* kEndMarker = "9999";
// The line of a bank file where the first channel's frequency stands; its tag follows.
inline constexpr int kFirstChannel = 4;

struct BankChannel {
  std::string frequency;
  std::string tag;

  bool operator==(const BankChannel&) const = default;
};

struct Bank {
  std::string title;
  std::string mode;
  // The search list holds the end marker here while it has no channels.
  std::string step;
  std::string note;  // a line of blanks between the step and the channels
  std::vector<BankChannel> channels;
  // The end marker follows the channels. A file cut short, or written by hand without it,
  // holds none: its channels then run to its last line, blank ones included.
  bool ended = false;

  bool operator==(const Bank&) const = default;
};

// The line after the last channel: where the end marker stands (or would stand).
inline int EndLine(const Bank& bank) {
  return kFirstChannel + 2 * static_cast<int>(bank.channels.size());
}

}  // namespace voskel
