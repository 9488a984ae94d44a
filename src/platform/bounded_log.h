#pragma once
// A log file that only ever holds whole lines and never grows past a size. Each line goes
// out in one write() to a file opened for appending, so a process killed at any moment
// leaves whole lines behind; nothing is flushed to disk per line, so appending costs a
// poll of the panel next to nothing.
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace voskel::platform {

struct BoundedLog {
  std::filesystem::path path;
  std::filesystem::path oldPath;  // where the full log goes; the one there before is dropped
  std::string_view header;        // the first line of every new file
  std::int64_t limit = 0;         // bytes
};

// Appends line (with its line end). A file that would pass the limit is renamed to oldPath
// first and begun again with the header. False when the line could not be written whole
// (a full disk, a folder that refuses it); errno tells why, and the file is as it was.
bool AppendLine(const BoundedLog& log, std::string_view line);

}  // namespace voskel::platform
