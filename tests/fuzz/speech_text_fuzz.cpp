// A tag as the speech engine is given it (the engine itself is never run here): UTF-8 of
// Latin letters and signs only, so nothing can make it switch to another script, and
// nothing at all when the tag holds nothing to say.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/invariant.h"
#include "platform/espeak_speech.h"
#include "platform/latin1_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  namespace platform = voskel::platform;
  const std::string_view tag(reinterpret_cast<const char*>(data), size);
  const std::string speakable = platform::SpeakableText(tag);
  Require(speakable.find('\0') == std::string::npos, "no NUL ends the engine's text early");
  const std::optional<std::string> latin1 = platform::Utf8ToLatin1(speakable);
  Require(latin1.has_value(), "UTF-8 within Latin-1");
  bool said = false;
  for (std::size_t i = 0; i < tag.size(); ++i) {
    const auto code = static_cast<unsigned char>(tag[i]);
    said |= !platform::IsControlCode(code) && code != ' ';
  }
  Require(said != speakable.empty(), "empty exactly when there is nothing to say");
  if (!said) return 0;
  Require(latin1->size() == tag.size(), "one character for each byte of the tag");
  for (std::size_t i = 0; i < tag.size(); ++i) {
    const auto code = static_cast<unsigned char>(tag[i]);
    Require((*latin1)[i] == (platform::IsControlCode(code) ? ' ' : tag[i]),
            "each character the tag's own, a control code a blank");
  }
  return 0;
}
