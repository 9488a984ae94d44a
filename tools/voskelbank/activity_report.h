#pragma once
// The panel's activity log read back: what was heard in a period, the busiest frequencies by
// how often and by how long they were on the air, and the busiest as a channel list, so
// that what was heard overnight becomes a bank to scan.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel_list.h"

namespace voskelbank {

struct Heard {
  std::string start;  // "2026-12-05 19:27:34"
  std::int64_t hz = 0;
  std::string_view mode;  // the bank's mode line
  int peak = -1;
  std::int64_t tenths = 0;  // tenths of a second on the air
  std::string tag;          // Latin-1
};

struct ActivityLog {
  std::vector<Heard> heard;
  std::vector<std::string> notes;  // lines that could not be read, by file
};

// Adds the lines of one log file, the older file first. A line that cannot be read (a log
// edited by hand, one whose frequency the panel never learned) is left out and counted.
void ReadActivity(std::string_view text, std::string_view fileName, ActivityLog& log);

// "2026-12-05", "2026-12-05 19:00" or "2026-12-05T19:00:30" as a moment to compare starts
// with; the end of a period takes the whole day or minute it names. Nothing for other text.
std::optional<std::string> MomentText(std::string_view text, bool periodEnd);

struct Period {
  std::string from;  // empty: from the first line
  std::string to;    // empty: to the last
};

struct Frequency {
  std::int64_t hz = 0;
  std::string_view mode;
  int count = 0;
  std::int64_t tenths = 0;
  int peak = -1;
  std::string tag;  // the last one heard with it
};

// Every frequency heard (with its mode) in the period, and how many signals it held.
std::vector<Frequency> Tally(const ActivityLog& log, const Period& period, int& signals);

enum class Ranking { kByCount, kByTime };

// The most active first, the top of them; ties go to the other measure, then the lower
// frequency.
std::vector<Frequency> TopFrequencies(std::vector<Frequency> tally, Ranking by, int top);

// The summary a listener reads: the period, then the top busiest by count and by time.
std::string SummaryText(const ActivityLog& log, const Period& period, int top);

// The frequencies as channels for PlanBanks, their modes as heard, the busiest first.
ChannelList AsChannelList(const std::vector<Frequency>& busiest);

}  // namespace voskelbank
