#pragma once
// The text of tools/voice-clips.txt as it was when the program was built: the table the
// clips were made from, carried inside the program.
#include <string_view>

namespace voskel {

std::string_view ClipTableText();

}  // namespace voskel
