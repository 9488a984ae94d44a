#pragma once
// Small PCM WAV files for the sound and voice tests.
#include <filesystem>
#include <string>

namespace voskel::testing {

// Writes lengthMs of a quiet tone as 16-bit PCM.
void WriteWav(const std::filesystem::path& file, int lengthMs, int frequency = 22050,
              int channels = 1);

// A scratch directory under the system's temporary folder, removed with the object.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace voskel::testing
