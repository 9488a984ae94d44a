#include "serial_candidates.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>
#include <utility>

namespace voskelcfg {
namespace fs = std::filesystem;
using voskel::platform::OpenFailure;

namespace {

// The device itself, whatever names lead to it: every link followed.
fs::path Identity(const fs::path& path) {
  std::error_code error;
  fs::path real = fs::canonical(path, error);
  return error ? path.lexically_normal() : real;
}

// Where a symbolic link leads, one step; a relative target counts from the link's folder.
fs::path LinkTarget(const fs::path& link) {
  std::error_code error;
  const fs::path target = fs::read_symlink(link, error);
  if (error) return link;
  return target.is_absolute() ? target : (link.parent_path() / target).lexically_normal();
}

std::vector<std::string> SortedNames(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The entries prefix + number in dir, ttyUSB2 before ttyUSB10.
std::vector<fs::path> Numbered(const fs::path& dir, const std::string& prefix) {
  std::vector<std::pair<long, fs::path>> found;
  for (const std::string& name : SortedNames(dir)) {
    const std::string digits = name.substr(std::min(prefix.size(), name.size()));
    if (name.rfind(prefix, 0) != 0 || digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      continue;
    found.emplace_back(std::stol(digits), dir / name);
  }
  std::sort(found.begin(), found.end());
  std::vector<fs::path> paths;
  for (auto& [number, path] : found) paths.push_back(std::move(path));
  return paths;
}

// Every ttyS name exists whether or not a port is fitted; the kernel's UART type says
// which have one (0 is none).
bool HasUart(const fs::path& root, const fs::path& device) {
  std::ifstream typeFile(root / "sys/class/tty" / device.filename() / "type");
  std::string type;
  typeFile >> type;
  return !type.empty() && type != "0";
}

class CandidateList {
 public:
  SerialCandidate& Add(const fs::path& device) {
    const fs::path id = Identity(device);
    for (std::size_t i = 0; i < ids_.size(); ++i) {
      if (ids_[i] == id) return list_[i];
    }
    ids_.push_back(id);
    list_.push_back(SerialCandidate{device, {}, {}});
    return list_.back();
  }
  std::vector<SerialCandidate> Take() { return std::move(list_); }

 private:
  std::vector<SerialCandidate> list_;
  std::vector<fs::path> ids_;
};

}  // namespace

std::vector<SerialCandidate> FindCandidates(const fs::path& root, const fs::path& workDir) {
  CandidateList found;
  const fs::path dev = root / "dev";
  for (const char* prefix : {"ttyUSB", "ttyACM"}) {
    for (const fs::path& device : Numbered(dev, prefix)) found.Add(device);
  }
  for (const fs::path& device : Numbered(dev, "ttyS")) {
    if (HasUart(root, device)) found.Add(device);
  }
  const fs::path byId = dev / "serial/by-id";
  for (const std::string& name : SortedNames(byId)) {
    SerialCandidate& named = found.Add(LinkTarget(byId / name));
    if (named.stableName.empty()) named.stableName = byId / name;
  }
  for (const fs::path& link : Numbered(workDir, "com")) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(link, error))) continue;
    found.Add(LinkTarget(link)).links.push_back(link.filename().string());
  }
  return found.Take();
}

CandidateState StateOf(const SerialCandidate& candidate, const OpenDevices& open) {
  CandidateState state;
  state.holder = open.HolderOf(candidate.device);
  if (!state.holder.empty())
    state.error = {OpenFailure::kHeld, EBUSY};
  else
    state.error = voskel::platform::SerialDevice::TryHold(candidate.device);
  return state;
}

std::string Describe(const CandidateState& state) {
  if (state.error.failure == OpenFailure::kNone) return "free";
  if (!state.holder.empty()) return "held by " + state.holder;
  return voskel::platform::Describe(state.error);
}

}  // namespace voskelcfg
