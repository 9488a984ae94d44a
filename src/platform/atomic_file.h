#pragma once
// A file written whole or not at all: a temporary file beside it is flushed to disk and
// renamed over it, so a crash or a full disk never leaves half of it.
#include <filesystem>
#include <string>

namespace voskel::platform {

// False on any failure, with errno telling why; the old file is then untouched and no
// temporary file stays behind.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& contents);

}  // namespace voskel::platform
