#pragma once
#include <optional>
#include <string>

namespace voskel::sim {

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadTextFile(const std::string& path);
// Writes a temporary file beside path, flushes it to disk and renames it over path, so
// that a crash never leaves half a file. False, with errno set, on failure.
bool WriteTextFileAtomically(const std::string& path, const std::string& text);

}  // namespace voskel::sim
