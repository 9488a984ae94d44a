#pragma once
// gqrx's bookmarks (bookmarks.csv in gqrx's settings folder), as gqrx writes them: a section
// of tags, "# Tag name ; color" and a line per tag, then an empty line, then
// "# Frequency ; Name ; Modulation ; Bandwidth; Tags" and a line per bookmark; the fields
// are separated by ';' and padded with blanks, frequency and bandwidth are in Hz, a
// bookmark's tags are separated by commas.
#include <string>
#include <string_view>
#include <vector>

#include "banks/bank_lines.h"
#include "channel_list.h"

namespace voskelbank {

// A text that begins with a comment line, as gqrx's bookmarks do and no CSV channel list.
bool LooksLikeGqrx(std::string_view text);

// The bookmarks in the file's order (gqrx keeps them by frequency). The tags say nothing a
// bank holds, so they are read past.
ChannelList ReadGqrxBookmarks(std::string_view text, const ListOptions& options);

struct Bookmarks {
  std::string text;
  std::vector<std::string> problems;  // with any, text is incomplete
  std::vector<std::string> notes;
};

// The bank's channels, in its order, as gqrx saves bookmarks: each tagged with the bank's
// name, with the bandwidth of gqrx's normal filter for the mode.
Bookmarks BankToGqrx(const voskel::BankImage& lines);

}  // namespace voskelbank
