#include "support/recording_sound.h"

namespace voskel::testing {

std::vector<std::string> RecordingSound::Names() const {
  std::vector<std::string> names;
  for (const Played& p : played) {
    const auto slash = p.name.find_last_of('\\');
    names.push_back(slash == std::string::npos ? p.name : p.name.substr(slash + 1));
  }
  return names;
}

std::vector<std::string> RecordingSound::Spoken() const {
  std::vector<std::string> names;
  for (const std::string& name : Names())
    if (name != "shdel") names.push_back(name);
  return names;
}

}  // namespace voskel::testing
