#pragma once
// A file written whole or not at all: a temporary file beside it is flushed to disk and
// renamed over it, so a crash or a full disk never leaves half of it.
#include <filesystem>
#include <string>
#include <string_view>

namespace voskel::platform {

// False on any failure, with errno telling why; the old file is then untouched and no
// temporary file stays behind.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& contents);

// True when name is what WriteFileAtomically calls its temporary for the file named file:
// file, a point and six letters or digits. One left behind is from a write that was cut off.
bool IsTemporaryFor(std::string_view name, std::string_view file);

}  // namespace voskel::platform
