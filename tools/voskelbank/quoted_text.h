#pragma once
// A text from a file or the command line as a message shows it back.
#include <string>
#include <string_view>

namespace voskelbank {

// Characters shown of a text before the rest is left out.
inline constexpr std::size_t kShownCharacters = 40;

// The UTF-8 text cut after kShownCharacters characters with "...", so that a field of
// megabytes is told in one line that still says which it is.
std::string Shortened(std::string_view utf8);
// Shortened, in double quotes.
std::string Quoted(std::string_view utf8);

}  // namespace voskelbank
