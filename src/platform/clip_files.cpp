#include "platform/clip_files.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace voskel::platform {
namespace fs = std::filesystem;

namespace {

// A directory changed within this long of its listing may have changed again in the same
// timestamp tick, so such a listing is not trusted the next time.
constexpr auto kRacyWindow = std::chrono::seconds(2);
constexpr std::size_t kMaxCachedDirectories = 64;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

struct Listing {
  fs::file_time_type mtime;
  fs::file_time_type listedAt;
  std::unordered_map<std::string, std::string> nameByLower;
};

std::mutex cacheMutex;
std::map<fs::path, Listing> listings;

// The real name of the entry of dir that matches name without regard to case.
std::optional<fs::path> FindEntry(const fs::path& dir, const std::string& name) {
  std::error_code error;
  const fs::path exact = dir / name;
  if (fs::exists(exact, error)) return exact;

  const fs::file_time_type mtime = fs::last_write_time(dir, error);
  if (error) return std::nullopt;

  std::lock_guard lock(cacheMutex);
  auto found = listings.find(dir);
  const bool trusted = found != listings.end() && found->second.mtime == mtime &&
                       mtime + kRacyWindow < found->second.listedAt;
  if (!trusted) {
    if (listings.size() >= kMaxCachedDirectories) listings.clear();
    Listing listing{mtime, fs::file_time_type::clock::now(), {}};
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
      const std::string entry = it->path().filename().string();
      listing.nameByLower.emplace(Lower(entry), entry);
    }
    if (error) return std::nullopt;
    found = listings.insert_or_assign(dir, std::move(listing)).first;
  }
  auto entry = found->second.nameByLower.find(Lower(name));
  if (entry == found->second.nameByLower.end()) return std::nullopt;
  return dir / entry->second;
}

std::vector<std::string> SplitFolders(std::string_view fullName) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : fullName) {
    if (c == '\\' || c == '/') {
      parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(std::move(part));
  return parts;
}

}  // namespace

std::optional<fs::path> ResolveClip(const fs::path& workDir, std::string_view fullName) {
  std::vector<std::string> parts = SplitFolders(fullName);
  std::string file = std::move(parts.back());
  parts.pop_back();
  if (file.empty() || file == "." || file == "..") return std::nullopt;
  if (file.find('.') == std::string::npos) file += ".wav";

  std::error_code error;
  fs::path dir = workDir;
  for (const std::string& folder : parts) {
    if (folder.empty() || folder == ".") continue;
    if (folder == "..") return std::nullopt;
    auto next = FindEntry(dir, folder);
    if (!next || !fs::is_directory(*next, error)) return std::nullopt;
    dir = *next;
  }
  auto path = FindEntry(dir, file);
  if (!path || !fs::is_regular_file(*path, error)) return std::nullopt;
  return path;
}

}  // namespace voskel::platform
