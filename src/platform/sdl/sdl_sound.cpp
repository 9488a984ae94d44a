#include "platform/sdl/sdl_sound.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/clip_files.h"
#include "platform/sdl/quiet_alsa.h"

namespace voskel::platform {
namespace {

// Speech samples come in this format as they are: no conversion on their way out.
constexpr int kOutFrequency = kSamplesPerSecond;
constexpr SDL_AudioFormat kOutFormat = AUDIO_S16SYS;
constexpr int kOutChannels = 1;
constexpr Uint16 kDeviceBufferFrames = 512;  // about 23 ms of latency
// After a clip has run its time on the clock, a little of it may still wait in the queue
// for a device that started late; that tail is kept so that clips follow each other
// whole. A backlog beyond this means the device is not keeping up and is dropped.
constexpr std::int64_t kMaxBacklogMs = 100;
// The clock is expected to move by at least what was asked; this only bounds the loop
// for a clock that does not.
constexpr int kMaxSleeps = 100;
// How often a synchronous play asks whether the panel is to end: well inside the second in
// which a signal or the close box must end it.
constexpr std::int64_t kStopCheckMs = 50;
// The signal tone sits well under the clips (peak at -20 dB), and fades in and out so that
// a tone cut short by a clip does not click.
constexpr double kToneAmplitude = 0.1 * 32767;
constexpr int kToneFadeSamples = kSamplesPerSecond / 100;

}  // namespace

SdlSound::SdlSound(std::filesystem::path workDir, Clock& clock, std::function<bool()> stopRequested)
    : workDir_(std::move(workDir)), clock_(clock), stopRequested_(std::move(stopRequested)) {}

SdlSound::~SdlSound() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  if (audioInitialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSound::OpenOutput() {
  if (opened_) return;
  opened_ = true;
  outFrequency_ = kOutFrequency;
  outFormat_ = kOutFormat;
  outChannels_ = kOutChannels;
  outBytesPerMs_ = static_cast<std::uint32_t>(outFrequency_ / 1000 * outChannels_ *
                                              (SDL_AUDIO_BITSIZE(outFormat_) / 8));
  QuietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    SayNoDevice();  // no audio at all: clips still pace
    return;
  }
  audioInitialised_ = true;
  SDL_AudioSpec want{};
  want.freq = outFrequency_;
  want.format = outFormat_;
  want.channels = static_cast<Uint8>(outChannels_);
  want.samples = kDeviceBufferFrames;
  SDL_AudioSpec have{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ != 0)
    SDL_PauseAudioDevice(device_, 0);
  else
    SayNoDevice();
}

void SdlSound::SayNoDevice() {
  // Silence with no word would pass for a broken panel; the clips still keep their time.
  std::fprintf(stderr, "voskel: no sound device (%s); the panel runs silently\n", SDL_GetError());
}

const SdlSound::Clip& SdlSound::Load(const std::filesystem::path& file) {
  const std::string key = file.string();
  if (auto found = clips_.find(key); found != clips_.end()) {
    ++cacheHits_;
    return found->second;
  }
  ++decodes_;
  Clip& clip = clips_[key];  // a file that does not decode stays cached as invalid

  SDL_AudioSpec spec{};
  Uint8* wav = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(key.c_str(), &spec, &wav, &length) == nullptr) return clip;
  const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
  SDL_AudioCVT cvt{};
  if (frameBytes == 0 || spec.freq <= 0 ||
      SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, outFormat_,
                        static_cast<Uint8>(outChannels_), outFrequency_) < 0) {
    SDL_FreeWAV(wav);
    return clip;
  }
  const std::uint64_t frames = length / frameBytes;
  clip.durationMs = static_cast<std::int64_t>((frames * 1000 + spec.freq - 1) / spec.freq);

  std::vector<Uint8> work(static_cast<std::size_t>(length) * (cvt.len_mult > 0 ? cvt.len_mult : 1));
  if (length > 0) std::memcpy(work.data(), wav, length);
  SDL_FreeWAV(wav);
  cvt.buf = work.data();
  cvt.len = static_cast<int>(length);
  if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return clip;
  const std::size_t converted = cvt.needed ? static_cast<std::size_t>(cvt.len_cvt) : length;
  work.resize(converted);
  clip.samples = std::move(work);
  clip.valid = true;
  return clip;
}

std::int64_t SdlSound::CachedDurationMs(const std::filesystem::path& file) const {
  auto found = clips_.find(file.string());
  return found == clips_.end() || !found->second.valid ? -1 : found->second.durationMs;
}

std::filesystem::path SdlSound::Sounding() {
  if (sounding_.empty() || clock_.NowMs() >= soundingEndsMs_) return {};
  return sounding_;
}

void SdlSound::Stop() {
  if (device_ != 0) SDL_ClearQueuedAudio(device_);
  if (!Sounding().empty()) ++cuts_;
  sounding_.clear();
}

void SdlSound::Play(const std::string& fullName, bool wait) {
  OpenOutput();
  const std::optional<std::filesystem::path> file =
      fullName.empty() ? std::nullopt : ResolveClip(workDir_, fullName);
  const Clip* clip = file ? &Load(*file) : nullptr;
  if (clip == nullptr || !clip->valid) {
    Stop();
    return;
  }

  Start(*file, clip->samples.data(), clip->samples.size(), clip->durationMs, wait);
}

void SdlSound::PlaySamples(std::string_view what, std::span<const std::int16_t> samples,
                           bool wait) {
  OpenOutput();
  if (samples.empty()) {
    Stop();
    return;
  }
  const auto durationMs = static_cast<std::int64_t>(
      (samples.size() * 1000 + kSamplesPerSecond - 1) / kSamplesPerSecond);
  Start("tag:" + std::string(what), samples.data(), samples.size_bytes(), durationMs, wait);
}

void SdlSound::Tone(int hz, int ms) {
  OpenOutput();
  const std::int64_t now = clock_.NowMs();
  // Under a clip it would only be cut off; an earlier tone still sounding goes on.
  if (device_ == 0 || hz <= 0 || ms <= 0 || !Sounding().empty() || now < toneEndsMs_) return;
  const auto count = static_cast<std::size_t>(kSamplesPerSecond) * static_cast<std::size_t>(ms) / 1000;
  std::vector<std::int16_t> samples(count);
  const double step = 2 * M_PI * hz / kSamplesPerSecond;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t edge = std::min(i, count - 1 - i);
    const double fade = std::min(1.0, static_cast<double>(edge) / kToneFadeSamples);
    samples[i] = static_cast<std::int16_t>(std::lround(kToneAmplitude * fade * std::sin(step * i)));
  }
  SDL_QueueAudio(device_, samples.data(), static_cast<Uint32>(samples.size() * sizeof(std::int16_t)));
  toneEndsMs_ = now + ms;
}

void SdlSound::Start(std::filesystem::path what, const void* bytes, std::size_t size,
                     std::int64_t durationMs, bool wait) {
  // A tone never holds a clip back: what is left of it goes.
  if (clock_.NowMs() < toneEndsMs_) {
    toneEndsMs_ = 0;
    if (device_ != 0) SDL_ClearQueuedAudio(device_);
  }
  if (!Sounding().empty() ||
      (device_ != 0 && SDL_GetQueuedAudioSize(device_) > kMaxBacklogMs * outBytesPerMs_)) {
    Stop();
  }
  if (device_ != 0 && size > 0) SDL_QueueAudio(device_, bytes, static_cast<Uint32>(size));

  const std::int64_t start = clock_.NowMs();
  sounding_ = std::move(what);
  soundingEndsMs_ = start + durationMs;
  if (wait) WaitForEnd(durationMs);
}

void SdlSound::WaitForEnd(std::int64_t durationMs) {
  const std::int64_t mostSleeps = durationMs / kStopCheckMs + kMaxSleeps;
  for (std::int64_t sleeps = 0; sleeps < mostSleeps; ++sleeps) {
    const std::int64_t now = clock_.NowMs();
    if (now >= soundingEndsMs_) return;
    if (StopRequested()) {
      Stop();
      return;
    }
    clock_.SleepMs(std::min(kStopCheckMs, soundingEndsMs_ - now));
  }
}

}  // namespace voskel::platform
