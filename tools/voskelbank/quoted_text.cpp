#include "quoted_text.h"

namespace voskelbank {

std::string Shortened(std::string_view utf8) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    // A byte that continues a character is no character of its own.
    if ((static_cast<unsigned char>(utf8[i]) & 0xc0) == 0x80) continue;
    if (characters++ == kShownCharacters) return std::string(utf8.substr(0, i)) + "...";
  }
  return std::string(utf8);
}

std::string Quoted(std::string_view utf8) {
  return "\"" + Shortened(utf8) + "\"";
}

}  // namespace voskelbank
