#pragma once
// What the panel says, kept as the parts it was said in: their words make the message
// shown on a braille display and written on standard output, and their clips say it
// again. voice/message.h composes it; the keys decide where one message ends.
#include <cstddef>
#include <string>
#include <vector>

namespace voskel {

struct SpokenPart {
  std::string clip;          // as played, voice folder included ("wave\\ok"); empty for a tag
  std::string tag;           // a channel's tag as its bank holds it (Latin-1)
  bool wait = true;          // played to its end, or left playing
  std::string words;         // as written (UTF-8)
  bool numeral = false;      // a digit or the point
  bool joinsNumber = false;  // a numeral right after another: no blank between
};

struct SpokenMessage {
  std::vector<SpokenPart> parts;
  // Where each key of an entry began among the parts, so that Backspace can undo one.
  std::vector<std::size_t> keyStarts;
  // A pause, a tone or another key came since the last digit: the next starts a number.
  bool numberEnded = false;
};

struct Messages {
  SpokenMessage current;         // what the running key, poll reaction or start-up step says
  SpokenMessage held;            // an entry's message, kept from key to key while it is typed
  std::vector<SpokenPart> last;  // the last finished message: what J says again
  // What speech-dispatcher is to say next, handed to it whole before the panel waits or
  // a message ends; kept as parts so that the clips can say it if the server is gone.
  std::vector<SpokenPart> unsaid;
};

}  // namespace voskel
