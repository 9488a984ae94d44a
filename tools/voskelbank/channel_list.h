#pragma once
// What a channel list yields, whatever program wrote it: its channels in the list's order,
// and every problem and note with the line of the file it belongs to. The fields are
// checked here, one way for every format, so that each is told the same things.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voskelbank {

struct Message {
  int line = 0;  // the file's line, from 1; 0 for the file as a whole
  std::string text;
};

struct ListChannel {
  int line = 0;
  std::int64_t hz = 0;
  std::string_view mode;    // the bank's mode line: "FM", "CW ", "AUT", ...
  std::int64_t stepHz = 0;  // 0 when the list gives none
  std::string tag;          // Latin-1; " " for a channel without a name
};

struct ChannelList {
  std::vector<ListChannel> channels;
  std::vector<Message> problems;  // with any, nothing is written
  std::vector<Message> notes;     // told, and the banks are written
};

// How a list is read, as the command line asks.
struct ListOptions {
  std::string_view onlyMode;  // a bank's mode line: the rows of other modes are left out
  bool cutNames = false;      // a name longer than a tag is cut to it, with a note
};

// "line 7: " for a message about line 7.
std::string At(int line);
// "line 4", "lines 4 and 9", "lines 4, 9 and 12" (the first ten, then how many more).
std::string LinesText(const std::vector<int>& lines);
// A field as a message shows it: control characters as '?', and cut to a few dozen
// characters, so that a runaway field cannot flood the terminal.
std::string Shown(std::string_view utf8);
// The same in double quotes, for a field whose ends matter.
std::string Quoted(std::string_view utf8);
// The texts, ordered by their lines; those about the whole file first.
std::vector<std::string> InLineOrder(std::vector<Message> messages);

// A frequency field in the file's unit (MHz with a point, or whole Hz), checked against
// the receiver's range; the problem is told with the field as written.
std::optional<std::int64_t> CheckFrequency(std::string_view text, bool inHz, int line,
                                           std::vector<Message>& problems);
// A name as the channel's tag (Latin-1, at most 12 characters, no control characters).
std::optional<std::string> CheckName(std::string_view utf8, int line, const ListOptions& options,
                                     ChannelList& list);
// "mode DV cannot be stored; FM, AM, WFM, USB, LSB, CW and Auto can", with the list's own
// word for a mode (CHIRP's Mode column, gqrx's modulation).
void TellModeProblem(std::string_view word, std::string_view what, std::string_view storable,
                     int line, std::vector<Message>& problems);
// Rows read and the ones of other modes left out, for the note --mode gives.
void NoteLeftOut(int leftOut, std::string_view onlyMode, ChannelList& list);

}  // namespace voskelbank
