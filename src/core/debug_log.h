#pragma once
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace voskel {

// "debug1.dat": one CR LF line per key taken, command sent and reply kept.
class DebugLog {
 public:
  DebugLog() = default;
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;
  ~DebugLog() { Close(); }

  // Creates (or empties) the file. A file that cannot be created leaves the log off.
  bool Open(const std::filesystem::path& path);
  // Appends the line with CR LF; dropped when the log is not open.
  void Write(std::string_view line);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace voskel
