#pragma once
// The panel's texts are 8-bit Latin-1 (bank tags, replies, typed keys); the libraries that
// draw and speak them take UTF-8.
#include <string>
#include <string_view>

namespace voskel::platform {

// C0 and C1 control codes and DEL.
inline bool IsControlCode(unsigned code) { return code < 0x20 || (code >= 0x7f && code <= 0x9f); }

// Latin-1 as UTF-8, every control code (NUL among them, which would end a C text) replaced
// by the stand-in character.
inline std::string Latin1ToUtf8(std::string_view text, char controlStandIn) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (IsControlCode(code)) {
      out += controlStandIn;
    } else if (code < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xc0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3f));
    }
  }
  return out;
}

}  // namespace voskel::platform
