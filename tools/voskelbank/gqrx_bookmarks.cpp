#include "gqrx_bookmarks.h"

#include <cstdint>
#include <optional>

#include "core/receiver_mode.h"
#include "decimal_text.h"
#include "platform/latin1_text.h"
#include "receiver/frequency_text.h"

namespace voskelbank {
namespace {

namespace platform = voskel::platform;

struct Modulation {
  std::string_view gqrx;
  voskel::Mode mode;         // the bank's mode line is its name
  std::int64_t bandwidthHz;  // gqrx's normal filter for it
};

// The first of each bank mode is what an export writes. The receiver's WFM is mono.
constexpr Modulation kModulations[] = {
    {"Narrow FM", voskel::Mode::FM, 10000},    {"WFM (mono)", voskel::Mode::WFM, 160000},
    {"AM", voskel::Mode::AM, 10000},           {"USB", voskel::Mode::USB, 2700},
    {"LSB", voskel::Mode::LSB, 2700},          {"CW-U", voskel::Mode::CW, 500},
    {"CW-L", voskel::Mode::CW, 500},           {"WFM (stereo)", voskel::Mode::WFM, 160000},
    {"WFM (oirt)", voskel::Mode::WFM, 160000}, {"AM-Sync", voskel::Mode::AM, 10000},
    {"NFM PLL", voskel::Mode::FM, 10000}};
constexpr std::string_view kStorable = "Narrow FM, AM, WFM, USB, LSB and CW";
constexpr std::string_view kTagColour = "#c0c0c0";  // the colour gqrx gives a new tag
constexpr std::string_view kUntagged = "Untagged";

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  for (std::size_t from = 0;;) {
    const std::size_t at = line.find(separator, from);
    fields.push_back(line.substr(from, at - from));
    if (at == std::string_view::npos) return fields;
    from = at + 1;
  }
}

std::optional<std::string_view> BankModeOf(std::string_view gqrx) {
  for (const Modulation& modulation : kModulations)
    if (modulation.gqrx == gqrx) return voskel::RowOf(modulation.mode).text.name;
  return std::nullopt;
}

class BookmarkReader {
 public:
  BookmarkReader(const ListOptions& options, ChannelList& list) : options_(options), list_(list) {}

  // Before the first empty line gqrx takes every line but a comment for a tag and its
  // colour, and ignores any other: a bookmark there would be lost.
  void TagLine(std::string_view line, int number) {
    if (line.starts_with("#") || Split(line, ';').size() == 2) return;
    list_.problems.push_back({number, At(number) + "a bookmark before the first empty line, "
                                                   "where gqrx reads only tags"});
  }

  void BookmarkLine(std::string_view line, int number) {
    const std::vector<std::string_view> fields = Split(line, ';');
    if (fields.size() != 5) {
      list_.problems.push_back({number, At(number) +
                                            "not a bookmark: gqrx's have 5 fields separated by ';' "
                                            "(frequency, name, modulation, bandwidth, tags)"});
      return;
    }
    const std::string_view word = Trimmed(fields[2]);
    const std::optional<std::string_view> mode = BankModeOf(word);
    if (!options_.onlyMode.empty() && mode != options_.onlyMode) {
      ++leftOut;
      return;
    }
    const std::size_t problemsBefore = list_.problems.size();
    if (!mode) TellModeProblem(word, "modulation", kStorable, number, list_.problems);
    ListChannel channel;
    channel.line = number;
    channel.mode = mode.value_or("");
    channel.hz = CheckFrequency(Trimmed(fields[0]), true, number, list_.problems).value_or(0);
    channel.tag = CheckName(Trimmed(fields[1]), number, options_, list_).value_or("");
    if (list_.problems.size() == problemsBefore) list_.channels.push_back(std::move(channel));
  }

  int leftOut = 0;

 private:
  const ListOptions& options_;
  ChannelList& list_;
};

std::string LeftJustified(std::string_view latin1, std::size_t width) {
  std::string text(latin1);
  if (text.size() < width) text.append(width - text.size(), ' ');
  return platform::Latin1ToUtf8(text, ' ');
}

std::string RightJustified(std::int64_t number, std::size_t width) {
  std::string text = std::to_string(number);
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

// gqrx ends a field at ';' and a tag at ','.
std::string TagOf(std::string_view bankName) {
  std::string tag(bankName);
  for (char& c : tag)
    if (c == ';' || c == ',') c = ' ';
  tag = std::string(Trimmed(tag));
  return tag.empty() ? std::string(kUntagged) : tag;
}

}  // namespace

bool LooksLikeGqrx(std::string_view text) {
  if (text.starts_with("\xef\xbb\xbf")) text.remove_prefix(3);
  return text.starts_with("#");
}

ChannelList ReadGqrxBookmarks(std::string_view text, const ListOptions& options) {
  ChannelList list;
  BookmarkReader reader(options, list);
  bool inTags = true;
  int number = 0;
  for (const std::string_view raw : Split(text, '\n')) {
    const std::string_view line = Trimmed(raw);
    ++number;
    if (inTags && line.empty()) inTags = false;
    if (line.empty()) continue;
    if (inTags)
      reader.TagLine(line, number);
    else if (!line.starts_with("#"))
      reader.BookmarkLine(line, number);
  }
  if (list.channels.empty() && list.problems.empty())
    list.problems.push_back({0, "no bookmarks; gqrx lists them after the first empty line"});
  NoteLeftOut(reader.leftOut, options.onlyMode, list);
  return list;
}

Bookmarks BankToGqrx(const voskel::BankImage& lines) {
  Bookmarks out;
  const Modulation* modulation = nullptr;
  for (const Modulation& candidate : kModulations) {
    const std::string_view bank = voskel::RowOf(candidate.mode).text.name;
    if (!modulation && (bank == lines[1] || bank == lines[1] + " ")) modulation = &candidate;
  }
  if (!modulation)
    out.problems.push_back(At(2) + "mode " + Shown(platform::Latin1ToUtf8(lines[1], '?')) +
                           " has no modulation in gqrx; " + std::string(kStorable) + " have");
  const std::string tag = TagOf(lines[0]);
  out.text = "# Tag name          ;  color\n" + LeftJustified(tag, 20) + "; " +
             std::string(kTagColour) + "\n\n" +
             "# Frequency ; Name                     ; Modulation          ;  Bandwidth; Tags\n";
  const int end = voskel::ChannelEnd(lines);
  for (int i = voskel::kFirstChannel; i < end; i += 2) {
    const std::string& frequency = lines[static_cast<std::size_t>(i)];
    const std::optional<std::int64_t> hz = ParseDecimal(frequency, 6);
    if (!hz || !voskel::TunableHz(*hz)) {
      out.problems.push_back(At(i + 1) + Quoted(platform::Latin1ToUtf8(frequency, '?')) +
                             " is not a frequency the receiver tunes (0.1-3000 MHz)");
      continue;
    }
    std::string name = lines[static_cast<std::size_t>(i + 1)];
    if (name == " ") name.clear();  // the panel's channel without a tag
    if (name.find(';') != std::string::npos) {
      out.notes.push_back(At(i + 2) + "the tag " + Quoted(platform::Latin1ToUtf8(name, '?')) +
                          " holds a ';', which ends a field for gqrx: written as ','");
      for (char& c : name)
        if (c == ';') c = ',';
    }
    if (modulation)
      out.text += RightJustified(*hz, 12) + "; " + LeftJustified(name, 25) + "; " +
                  LeftJustified(modulation->gqrx, 20) + "; " +
                  RightJustified(modulation->bandwidthHz, 10) + "; " +
                  platform::Latin1ToUtf8(tag, ' ') + "\n";
  }
  return out;
}

}  // namespace voskelbank
