#include "support/recording_sound.h"

namespace voskel::testing {
namespace {

constexpr const char* kTag = "tag:";

}  // namespace

void RecordingSound::PlaySamples(std::string_view what, std::span<const std::int16_t> samples,
                                 bool wait) {
  const std::string name = kTag + std::string(what);
  played.push_back({name, wait});
  if (onPlay) onPlay(name);
  if (wait && clock_ && !samples.empty())
    clock_->SleepMs(static_cast<std::int64_t>(samples.size()) * 1000 / platform::kSamplesPerSecond);
}

std::vector<std::string> RecordingSound::Names() const {
  std::vector<std::string> names;
  for (const Played& p : played) {
    if (p.name.rfind(kTag, 0) == 0) {  // a tag may hold a backslash of its own
      names.push_back(p.name);
      continue;
    }
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
