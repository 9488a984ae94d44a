#include "open_devices.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <set>
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

// Linux's numbers for the near end of a pseudo-terminal (the multiplexer /dev/ptmx) and
// for the far ends.
constexpr unsigned kPtmxMajor = 5;
constexpr unsigned kPtmxMinor = 2;
constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;

bool IsPtyMaster(dev_t device) {
  return ::major(device) == kPtmxMajor && ::minor(device) == kPtmxMinor;
}

// The number of the pseudo-terminal whose far end this is (/dev/pts/N), -1 for any other
// device.
long PtyNumber(dev_t device) {
  const unsigned major = ::major(device);
  if (major < kFirstPtyMajor || major > kLastPtyMajor) return -1;
  return static_cast<long>((major - kFirstPtyMajor) * 256 + ::minor(device));
}

// Which pseudo-terminal a descriptor of /dev/ptmx is the near end of, as the kernel tells
// in its fdinfo; -1 when it does not say.
long PtyNumberOfMaster(const std::string& fdInfo) {
  std::ifstream info(fdInfo);
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("tty-index:", 0) != 0) continue;
    const std::size_t from = line.find_first_not_of(" \t", 10);
    const std::string number = from == std::string::npos ? "" : line.substr(from);
    return IsNumber(number) && number.size() < 10 ? std::stol(number) : -1;
  }
  return -1;
}

}  // namespace

OpenDevices OpenDevices::Scan() {
  OpenDevices seen;
  const std::string self = std::to_string(::getpid());
  for (const std::string& pid : NamesIn("/proc")) {
    if (!IsNumber(pid) || pid == self) continue;
    const std::string process = "/proc/" + pid;
    std::vector<dev_t> held;
    std::set<long> ownPtys;
    // Other users' descriptors are closed to an ordinary user: they read as none.
    for (const std::string& fd : NamesIn(process + "/fd")) {
      struct stat info {};
      if (!IsNumber(fd) || ::stat((process + "/fd/" + fd).c_str(), &info) != 0) continue;
      if (!S_ISCHR(info.st_mode)) continue;
      if (!IsPtyMaster(info.st_rdev)) {
        held.push_back(info.st_rdev);
        continue;
      }
      // A kernel that does not tell the number gives -1, the number of every device that
      // is no pseudo-terminal: kept, it would count this process's serial ports free.
      const long pty = PtyNumberOfMaster(process + "/fdinfo/" + fd);
      if (pty >= 0) ownPtys.insert(pty);
    }
    // The program that made a pseudo-terminal (socat, the simulator) may keep its far end
    // open as well, only so that the terminal lives; it is the line's other end, not a
    // second user of it.
    for (const dev_t device : held) {
      if (ownPtys.count(PtyNumber(device)) == 0)
        seen.holders_.try_emplace(device, ProgramName(process) + " (pid " + pid + ")");
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
