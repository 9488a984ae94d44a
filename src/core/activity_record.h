#pragma once
// The activity log: one CSV line for every signal the panel heard, from the squelch opening
// to its closing, in the working directory. The panel writes the lines and voskelbank reads
// them back; both take the layout from here.
#include <cstdint>
#include <string>
#include <string_view>

namespace voskel {

inline constexpr const char* kActivityFile = "activity.csv";
// Where the log goes when it reaches kActivityFileLimit; the one there before is dropped,
// so the log never takes more than twice the limit on disk.
inline constexpr const char* kActivityOldFile = "activity.1.csv";
inline constexpr std::int64_t kActivityFileLimit = 1'000'000;
inline constexpr std::string_view kActivityHeader =
    "Date,Time,Frequency,Mode,Peak,Seconds,Channel,Tag\r\n";

struct HeardSignal {
  std::string date;     // when the squelch opened: "2026-12-05"
  std::string time;     // "19:27:34"
  std::int64_t hz = 0;  // 0 when the panel never learned where the receiver stood
  std::string mode;     // as the panel shows it: FM, AM, WFM, USB, LSB, CW, AUT
  int peak = -1;        // the highest level read meanwhile; -1 when no reply carried one
  std::int64_t ms = 0;  // how long the squelch stayed open
  std::string channel;  // "A05" in the receiver's memory, "07/3" in the bank file 07
  std::string tag;      // the channel's tag, Latin-1
};

// The signal being heard: open from the first level reply with the squelch open.
struct ActivityWatch {
  bool open = false;
  std::int64_t openedMs = 0;
  std::int64_t lastOpenMs = 0;  // the last reply that found the squelch open
  HeardSignal heard;
  bool failureTold = false;  // a log that cannot be written is told once a run
};

// The line, CR LF at its end: the frequency in MHz with six decimals, the duration in
// seconds with one, the tag in UTF-8 and in quotes when it holds a comma or a quote.
std::string ActivityLine(const HeardSignal& heard);

// "05-12-2026", as the clock gives the date, as "2026-12-05", which sorts as it reads;
// any other text unchanged.
std::string IsoDate(std::string_view dayMonthYear);

}  // namespace voskel
