#include "scan/activity_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "banks/bank_file.h"
#include "banks/bank_image.h"
#include "link/reply_fields.h"
#include "platform/bounded_log.h"
#include "receiver/frequency_text.h"

namespace voskel {
namespace {

// Polls that stop for longer (the receiver lost, a bank written into its memory) say
// nothing of the squelch meanwhile: the signal counts up to the last poll that heard it.
constexpr std::int64_t kLongestPollGapMs = 10'000;

struct Where {
  std::string frequency;  // empty while the panel does not know it yet
  std::string channel;
  std::string tag;
};

// The tag of a memory channel's report, its blanks of padding and the line end left off.
std::string ReportedTag(std::string_view report) {
  const std::size_t at = report.find(" TM");
  if (at == std::string_view::npos) return {};
  std::string tag(report.substr(at + 3, kTagWidth));
  tag.resize(std::min(tag.find_first_of("\r\n"), tag.size()));
  while (!tag.empty() && tag.back() == ' ') tag.pop_back();
  return tag;
}

// The channel of the bank in memory that the panel tuned to this frequency.
void FindBankChannel(const PanelState& s, Where& where) {
  const std::optional<std::string> number = BankNumberOf(s.BankFileName);
  if (s.BankState == BankState::kNone || !number || *number == "00") return;
  const std::int64_t hz = MhzTextToHz(where.frequency);
  const int end = ChannelEnd(s.Bank);
  for (int i = kFirstChannel; i < end; i += 2) {
    if (MhzTextToHz(BankLine(s.Bank, i)) != hz) continue;
    where.channel = *number + "/" + std::to_string((i - kFirstChannel) / 2);
    const std::string& tag = BankLine(s.Bank, i + 1);
    where.tag = tag == " " ? std::string() : tag;
    return;
  }
}

Where WhereNow(const PanelState& s, const std::string& reply) {
  Where where;
  if (IsChannelReport(reply)) {
    where.frequency = ReportedFrequency(reply).value_or("");
    where.channel = ReportedChannel(reply).value_or("");
    where.tag = ReportedTag(reply);
    return where;
  }
  // A search that has just stopped, or a memory scan before its channel is reported: the
  // frequency is read on one of the next polls.
  if (s.SearchActive == SearchActive::kMoving || IsMemoryScanning(s.ScanState)) return where;
  where.frequency = !s.ReceiverFrequency.empty() ? s.ReceiverFrequency : s.Frequency;
  FindBankChannel(s, where);
  return where;
}

void TellFailure(Panel& panel) {
  auto& a = panel.state.Activity;
  if (a.failureTold) return;
  a.failureTold = true;
  std::fprintf(stderr, "voskel: cannot write the activity log %s: %s\n", kActivityFile,
               std::strerror(errno));
}

void Close(Panel& panel, std::int64_t endMs) {
  auto& a = panel.state.Activity;
  a.open = false;
  a.heard.ms = endMs - a.openedMs;
  const platform::BoundedLog log{panel.workDir / kActivityFile, panel.workDir / kActivityOldFile,
                                 kActivityHeader, kActivityFileLimit};
  if (!platform::AppendLine(log, ActivityLine(a.heard))) TellFailure(panel);
}

void Open(Panel& panel, std::int64_t nowMs) {
  auto& a = panel.state.Activity;
  a.open = true;
  a.openedMs = nowMs;
  a.heard = HeardSignal{};
  a.heard.date = IsoDate(panel.clock.LocalDate());
  a.heard.time = panel.clock.LocalTime();
}

void Follow(Panel& panel, const Where& where, const std::string& reply) {
  auto& s = panel.state;
  auto& a = s.Activity;
  if (!where.frequency.empty()) {
    a.heard.hz = MhzTextToHz(where.frequency);
    a.heard.channel = where.channel;
    a.heard.tag = where.tag;
  }
  a.heard.mode = s.ModeName;
  while (!a.heard.mode.empty() && a.heard.mode.back() == ' ') a.heard.mode.pop_back();
  const std::optional<LevelReport> level = ReadLevelReport(reply);
  if (level && level->raw > a.heard.peak) a.heard.peak = level->raw;
}

}  // namespace

void NoteActivity(Panel& panel, const std::string& reply) {
  auto& s = panel.state;
  auto& a = s.Activity;
  if (reply.empty()) return;  // no answer: nothing learned of the squelch
  const std::int64_t now = panel.clock.NowMs();
  if (a.open && now - a.lastOpenMs > kLongestPollGapMs) Close(panel, a.lastOpenMs);
  if (s.Quiet) {
    if (a.open) Close(panel, now);
    return;
  }
  const Where where = WhereNow(s, reply);
  // Tuned elsewhere while the squelch stayed open: another signal from here on.
  if (a.open && a.heard.hz != 0 && !where.frequency.empty() &&
      MhzTextToHz(where.frequency) != a.heard.hz)
    Close(panel, now);
  if (!a.open) Open(panel, now);
  a.lastOpenMs = now;
  Follow(panel, where, reply);
}

void EndActivity(Panel& panel) {
  const auto& a = panel.state.Activity;
  if (!a.open) return;
  const std::int64_t now = panel.clock.NowMs();
  Close(panel, now - a.lastOpenMs > kLongestPollGapMs ? a.lastOpenMs : now);
}

}  // namespace voskel
