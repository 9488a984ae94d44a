#include "open_devices.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <vector>

namespace voskelcfg {
namespace fs = std::filesystem;

namespace {

bool IsNumber(const std::string& name) {
  return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

std::string ProgramName(const std::string& process) {
  std::ifstream comm(process + "/comm");
  std::string name;
  std::getline(comm, name);
  return name.empty() ? "a program" : name;
}

// The names in a directory; none when it cannot be read. Processes come and go while
// /proc is read, so a directory that vanishes midway is no error.
std::vector<std::string> NamesIn(const std::string& dir) {
  std::vector<std::string> names;
  DIR* stream = ::opendir(dir.c_str());
  if (!stream) return names;
  while (const dirent* entry = ::readdir(stream)) names.emplace_back(entry->d_name);
  ::closedir(stream);
  return names;
}

}  // namespace

OpenDevices OpenDevices::Scan() {
  OpenDevices seen;
  const std::string self = std::to_string(::getpid());
  for (const std::string& pid : NamesIn("/proc")) {
    if (!IsNumber(pid) || pid == self) continue;
    const std::string process = "/proc/" + pid;
    // Other users' descriptors are closed to an ordinary user: they read as none.
    for (const std::string& fd : NamesIn(process + "/fd")) {
      struct stat info {};
      if (!IsNumber(fd) || ::stat((process + "/fd/" + fd).c_str(), &info) != 0) continue;
      if (S_ISCHR(info.st_mode))
        seen.holders_.try_emplace(info.st_rdev, ProgramName(process) + " (pid " + pid + ")");
    }
  }
  return seen;
}

std::string OpenDevices::HolderOf(const fs::path& device) const {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return {};
  const auto found = holders_.find(info.st_rdev);
  return found == holders_.end() ? std::string() : found->second;
}

}  // namespace voskelcfg
