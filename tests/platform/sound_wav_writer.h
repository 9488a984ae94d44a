#pragma once
// Small PCM WAV files for the sound and voice tests.
#include <filesystem>
#include <string>

namespace voskel::testing {

// Writes lengthMs of a quiet tone as 16-bit PCM.
void WriteWav(const std::filesystem::path& file, int lengthMs, int frequency = 22050,
              int channels = 1);

// A scratch directory under the system's temporary folder, removed with the object.

}  // namespace voskel::testing
