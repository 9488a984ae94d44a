#include "platform/sound_wav_writer.h"

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

namespace voskel::testing {
namespace {

void PutLe(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

}  // namespace

void WriteWav(const std::filesystem::path& file, int lengthMs, int frequency, int channels) {
  const std::uint32_t frames =
      static_cast<std::uint32_t>(std::int64_t{frequency} * lengthMs / 1000);
  const std::uint32_t dataBytes = frames * channels * 2;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write("RIFF", 4);
  PutLe(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, channels, 2);
  PutLe(out, frequency, 4);
  PutLe(out, frequency * channels * 2, 4);
  PutLe(out, channels * 2, 2);
  PutLe(out, 16, 2);
  out.write("data", 4);
  PutLe(out, dataBytes, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto sample = static_cast<std::int16_t>(1000 * std::sin(i * 2 * M_PI * 440 / frequency));
    for (int c = 0; c < channels; ++c) PutLe(out, static_cast<std::uint16_t>(sample), 2);
  }
}

}  // namespace voskel::testing
