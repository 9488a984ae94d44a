#pragma once
// The text helpers every subsystem shares.
#include <istream>
#include <string>
#include <string_view>

#include "core/panel_state.h"

namespace voskel {

// Reads a decimal number the panel's one way: blanks and tabs skipped, optional minus,
// digits, optional point and digits; stops at any other character; no digits reads 0.
double ReadNumber(std::string_view text);

// Cuts text to the panel's text capacity.
std::string Cap(std::string_view text);

// Appends to a panel text without ever exceeding the capacity.
void AppendCapped(std::string& text, std::string_view more);

// The substring from a 0-based position, empty when the position lies past the end.
std::string_view SubFrom(std::string_view text, std::size_t pos,
                         std::size_t count = std::string_view::npos);

// Reads one line of a text file, ended by CR LF, CR or LF, into line; a longer line than
// the text capacity is cut and its rest skipped. False at the end of the input with
// nothing read.
bool ReadTextLine(std::istream& in, std::string& line);

// A field of a CSV record: in quotes, its quotes doubled, when it holds a comma, a quote or
// a line end.
std::string CsvField(std::string_view text);

// Nothing but blanks and tabs, or nothing at all (a channel without a tag).
inline bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace voskel
