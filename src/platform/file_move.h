#pragma once
// Moving a file to a new name without ever replacing what stands there.
#include <filesystem>

namespace voskel::platform {

// Renames from to `to` on the same file system, only when nothing is named `to` yet. False,
// with errno telling why (EEXIST when `to` is taken), leaves both names as they were.
bool MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace voskel::platform
