#pragma once
// The panel's texts are 8-bit Latin-1 (bank tags, replies, typed keys); the libraries that
// draw and speak them, and the files other programs write, are UTF-8.
#include <optional>
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

// UTF-8 as Latin-1; nothing when the text is no UTF-8 or holds a character beyond
// Latin-1. Control codes pass unchanged: whether they belong in a text is the caller's call.
inline std::optional<std::string> Utf8ToLatin1(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto code = static_cast<unsigned char>(text[i]);
    if (code < 0x80) {
      out += text[i];
      continue;
    }
    // U+0080 to U+00FF are the two-byte forms led by C2 and C3; every other lead byte is
    // either beyond Latin-1 or no UTF-8 at all.
    if ((code != 0xc2 && code != 0xc3) || i + 1 >= text.size()) return std::nullopt;
    const auto next = static_cast<unsigned char>(text[++i]);
    if ((next & 0xc0) != 0x80) return std::nullopt;
    out += static_cast<char>(((code & 0x03) << 6) | (next & 0x3f));
  }
  return out;
}

}  // namespace voskel::platform
