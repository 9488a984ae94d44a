#pragma once
// Where a clip name, as the voice code builds it, lives on disk.
#include <filesystem>
#include <optional>
#include <string_view>

namespace voskel::platform {

// Resolves "wave\\scan" or "wave\\FM.wav" against the working directory: folders are
// separated by '\\' (or '/'), ".wav" is added to a name without an extension, and every
// part compares without regard to case. A bare name is looked up in the working
// directory itself. Empty names, names that climb out of the working directory and
// names that find no regular file give nullopt.
std::optional<std::filesystem::path> ResolveClip(const std::filesystem::path& workDir,
                                                 std::string_view fullName);

}  // namespace voskel::platform
