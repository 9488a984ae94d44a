// voskelcfg: the setup program of Voskel. Writes VOSKEL.CFG, lists the serial devices a
// receiver could be on, and finds the one it answers on.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "advice.h"
#include "config_writer.h"
#include "level_probe.h"
#include "open_devices.h"
#include "options.h"
#include "serial_candidates.h"

namespace voskelcfg {
namespace {

namespace fs = std::filesystem;
using voskel::platform::OpenFailure;

// Where the device tree is looked for: / on a real system; a test names a tree of its own.
fs::path SystemRoot() {
  const char* root = std::getenv("VOSKELCFG_ROOT");
  return root && *root ? fs::path(root) : fs::path("/");
}

ConfigValues ValuesOf(const Options& options) {
  return {options.port, options.speed, options.voice, options.debug};
}

std::string LinksText(const std::vector<std::string>& links) {
  std::string text;
  for (const std::string& link : links) text += (text.empty() ? "" : ", ") + link;
  return text + (links.size() == 1 ? " points here" : " point here");
}

// The device line, then its stable name on a line of its own: by-id names run long.
void PrintCandidate(const SerialCandidate& candidate, const CandidateState& state) {
  std::string line = candidate.device.string() + ": " + Describe(state);
  if (!candidate.links.empty()) line += "; " + LinksText(candidate.links);
  std::printf("%s\n", line.c_str());
  if (!candidate.stableName.empty())
    std::printf("    stable name %s\n", candidate.stableName.c_str());
}

void PrintAdvice(const std::vector<fs::path>& refused, const fs::path& root) {
  std::printf("%s%s", PermissionAdvice(refused).c_str(), BrlttyAdvice(root).c_str());
}

int List(const Options& options) {
  const fs::path root = SystemRoot();
  const std::vector<SerialCandidate> candidates = FindCandidates(root, options.dir);
  const OpenDevices open = OpenDevices::Scan();
  std::vector<fs::path> refused;
  for (const SerialCandidate& candidate : candidates) {
    const CandidateState state = StateOf(candidate, open);
    if (state.error.failure == OpenFailure::kDenied) refused.push_back(candidate.device);
    PrintCandidate(candidate, state);
  }
  if (candidates.empty()) std::printf("No serial devices found.\n");
  PrintAdvice(refused, root);
  return candidates.empty() ? kFailed : kDone;
}

// comN for the receiver: its stable name when it has one; a link that already leads there
// is left as the user or the simulator made it.
bool LinkPort(const Options& options, const SerialCandidate& found) {
  const std::string link = "com" + options.port;
  if (found.stableName.empty()) {
    for (const std::string& existing : found.links) {
      if (existing == link) return true;
    }
  }
  const fs::path target = found.stableName.empty() ? found.device : found.stableName;
  return PointLink(fs::path(options.dir) / link, target);
}

int Found(const Options& options, const SerialCandidate& found, int speed) {
  std::string where = found.device.string();
  if (!found.stableName.empty()) where += " (" + found.stableName.string() + ")";
  std::printf("The receiver answered on %s at %d baud.\n", where.c_str(), speed);
  if (!options.portGiven) return kDone;
  std::error_code error;
  fs::create_directories(options.dir, error);
  Options written = options;
  written.speed = std::to_string(speed);
  if (!LinkPort(options, found) || !WriteConfig(options.dir, ValuesOf(written))) return kFailed;
  return kDone;
}

int Find(const Options& options) {
  const fs::path root = SystemRoot();
  const std::vector<SerialCandidate> candidates = FindCandidates(root, options.dir);
  const OpenDevices open = OpenDevices::Scan();
  std::vector<fs::path> refused;
  for (const SerialCandidate& candidate : candidates) {
    const char* device = candidate.device.c_str();
    const CandidateState state = StateOf(candidate, open);
    if (state.error.failure != OpenFailure::kNone) {
      if (state.error.failure == OpenFailure::kDenied) refused.push_back(candidate.device);
      std::fprintf(stderr, "%s: %s; not tried\n", device, Describe(state).c_str());
      continue;
    }
    std::fprintf(stderr, "%s: asking for the level...\n", device);
    voskel::platform::OpenError error;
    if (const int speed = FindAnsweringSpeed(candidate.device, error); speed != 0)
      return Found(options, candidate, speed);
    if (error.failure == OpenFailure::kNone)
      std::fprintf(stderr, "%s: no level reply at 19200, 9600 or 4800 baud\n", device);
    else
      std::fprintf(stderr, "%s: %s\n", device, voskel::platform::Describe(error).c_str());
  }
  std::printf("No receiver answered%s.\n", candidates.empty() ? ": no serial devices found" : "");
  std::printf("Is it switched on, cabled, and set to 4800, 9600 or 19200 baud?\n");
  PrintAdvice(refused, root);
  return kFailed;
}

}  // namespace
}  // namespace voskelcfg

int main(int argc, char** argv) {
  using namespace voskelcfg;
  Options options;
  if (const int parsed = ParseOptions(argc, argv, options); parsed != kDone)
    return parsed < 0 ? kDone : parsed;
  switch (options.action) {
    case Action::kList:
      return List(options);
    case Action::kFind:
      return Find(options);
    case Action::kWrite:
      break;
  }
  return WriteConfig(options.dir, ValuesOf(options)) ? kDone : kFailed;
}
