// Texts between Latin-1 and UTF-8, both ways: a Latin-1 text comes back from its UTF-8 as
// it was (control codes as the stand-in), and UTF-8 that is taken goes back unchanged.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/invariant.h"
#include "platform/latin1_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  namespace platform = voskel::platform;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  std::string shown(text);
  for (char& c : shown)
    if (platform::IsControlCode(static_cast<unsigned char>(c))) c = '?';
  const std::optional<std::string> back = platform::Utf8ToLatin1(platform::Latin1ToUtf8(text, '?'));
  Require(back && *back == shown, "Latin-1 through UTF-8 and back");

  if (const std::optional<std::string> latin1 = platform::Utf8ToLatin1(text)) {
    Require(latin1->size() <= text.size(), "Latin-1 is never longer");
    bool controls = false;
    for (const char c : *latin1) controls |= platform::IsControlCode(static_cast<unsigned char>(c));
    Require(controls || platform::Latin1ToUtf8(*latin1, '?') == text, "UTF-8 back as it was");
  }
  return 0;
}
