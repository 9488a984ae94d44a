#include "core/debug_log.h"

#include "core/panel.h"

namespace voskel {

bool DebugLog::Open(const std::filesystem::path& path) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

void DebugLog::Write(std::string_view line) {
  if (!file_) return;
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fwrite("\r\n", 1, 2, file_);
  // Flushed line by line: the log is for finding out what happened before a crash.
  std::fflush(file_);
}

void DebugLog::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void WriteLogLine(Panel& panel, std::string_view line) {
  if (panel.state.DebugSwitch == 1) panel.log.Write(line);
}

}  // namespace voskel
