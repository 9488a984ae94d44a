#include "platform/espeak_speech.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/latin1_text.h"
#include "platform/sound.h"

namespace voskel::platform {
namespace {

constexpr const char* kDefaultVoice = "en-us";
// Whatever a text says, its samples stop here (a 255-character tag takes about 15 s).
constexpr std::size_t kMaxSamples = 60 * kSamplesPerSecond;
// The generator's sox chain: silence below 0.5 % trimmed at both ends, a 20 ms tail, the
// peak levelled to -1 dB.
constexpr int kSilenceThreshold = 32767 * 5 / 1000;
constexpr std::size_t kTailSamples = kSamplesPerSecond / 50;
constexpr double kPeak = 0.891 * 32767;

// espeak-ng is one engine per process, started once and kept to the end.
struct Engine {
  bool ready = false;
  int sampleRate = 0;
  std::string voice;
  int wordsPerMinute = 0;
};

std::vector<std::int16_t>* gCapture = nullptr;

int Capture(short* wav, int count, espeak_EVENT*) {
  if (gCapture == nullptr || wav == nullptr || count <= 0) return 0;
  if (gCapture->size() + static_cast<std::size_t>(count) > kMaxSamples) return 1;  // abort
  gCapture->insert(gCapture->end(), wav, wav + count);
  return 0;
}

Engine& StartedEngine() {
  static Engine engine = [] {
    Engine started;
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    const espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status != ENS_OK) return started;
    if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr) != ENS_OK) return started;
    espeak_SetSynthCallback(Capture);
    started.ready = true;
    return started;
  }();
  return engine;
}

// The voice asked for, else the generator's default, else espeak-ng's own.
bool UseVoice(Engine& engine, const SpeechVoice& voice) {
  if (engine.voice != voice.name) {
    if (espeak_ng_SetVoiceByName(voice.name.c_str()) != ENS_OK &&
        espeak_ng_SetVoiceByName(kDefaultVoice) != ENS_OK &&
        espeak_ng_SetVoiceByName(ESPEAKNG_DEFAULT_VOICE) != ENS_OK)
      return false;
    engine.voice = voice.name;
    engine.wordsPerMinute = 0;  // a new voice starts at its own rate
    engine.sampleRate = espeak_ng_GetSampleRate();
  }
  if (engine.wordsPerMinute != voice.wordsPerMinute) {
    espeak_ng_SetParameter(espeakRATE, voice.wordsPerMinute, 0);
    engine.wordsPerMinute = voice.wordsPerMinute;
  }
  return engine.sampleRate > 0;
}

std::optional<int> ReadWholeNumber(const char* text) {
  if (text == nullptr || *text == '\0') return std::nullopt;
  long value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return std::nullopt;
    value = std::min(value * 10 + (*c - '0'), 100000L);
  }
  return static_cast<int>(value);
}

// Speech from a voice of another rate is brought to the clips' rate.
std::vector<std::int16_t> Resample(const std::vector<std::int16_t>& in, int fromRate) {
  if (fromRate == kSamplesPerSecond || in.size() < 2) return in;
  const double step = static_cast<double>(fromRate) / kSamplesPerSecond;
  const auto count = static_cast<std::size_t>((in.size() - 1) / step) + 1;
  std::vector<std::int16_t> out(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double at = static_cast<double>(i) * step;
    const auto left = std::min(static_cast<std::size_t>(at), in.size() - 2);
    const double part = at - static_cast<double>(left);
    out[i] = static_cast<std::int16_t>(std::lround(in[left] * (1 - part) + in[left + 1] * part));
  }
  return out;
}

void ShapeLikeClips(std::vector<std::int16_t>& samples) {
  const auto loud = [](std::int16_t v) {
    return std::abs(static_cast<int>(v)) > kSilenceThreshold;
  };
  const auto first = std::find_if(samples.begin(), samples.end(), loud);
  if (first == samples.end()) {
    samples.clear();
    return;
  }
  const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
  std::vector<std::int16_t> shaped(first, last);
  int peak = 0;
  for (const std::int16_t v : shaped) peak = std::max(peak, std::abs(static_cast<int>(v)));
  const double gain = kPeak / peak;
  for (std::int16_t& v : shaped)
    v = static_cast<std::int16_t>(std::clamp(std::lround(v * gain), -32768L, 32767L));
  shaped.resize(shaped.size() + kTailSamples, 0);
  samples = std::move(shaped);
}

std::vector<std::int16_t> SynthesizeNow(const std::string& text, const SpeechVoice& voice) {
  std::vector<std::int16_t> samples;
  Engine& engine = StartedEngine();
  if (!engine.ready || !UseVoice(engine, voice)) return samples;
  gCapture = &samples;
  espeak_ng_Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                       nullptr, nullptr);
  gCapture = nullptr;
  samples = Resample(samples, engine.sampleRate);
  ShapeLikeClips(samples);
  return samples;
}

}  // namespace

// Never the bytes as they came: three of them can spell a character of another script (e0
// a7 a9 is a Bengali digit), and a word in a script the voice does not read makes espeak-ng
// switch language for it, which in the libraries of Debian 12 reads memory it has already
// freed. Latin-1 holds only Latin letters, which every voice for a language written in
// them reads without a switch.
std::string SpeakableText(std::string_view latin1) {
  std::string text = Latin1ToUtf8(latin1, ' ');
  if (text.find_first_not_of(' ') == std::string::npos) text.clear();
  return text;
}

SpeechVoice SpeechVoiceFromEnvironment() {
  SpeechVoice voice;
  if (const char* name = std::getenv("VOSKEL_VOICE"); name != nullptr && *name != '\0')
    voice.name = name;
  if (const auto rate = ReadWholeNumber(std::getenv("VOSKEL_VOICE_RATE")))
    voice.wordsPerMinute = std::clamp(*rate, espeakRATE_MINIMUM, espeakRATE_MAXIMUM);
  return voice;
}

EspeakSpeech::EspeakSpeech(SpeechVoice voice) : voice_(std::move(voice)) {}

bool EspeakSpeech::Ready() {
  if (!ready_) {
    Engine& engine = StartedEngine();
    ready_ = engine.ready && UseVoice(engine, voice_);
  }
  return *ready_;
}

std::span<const std::int16_t> EspeakSpeech::Synthesize(std::string_view text) {
  const std::string speakable = SpeakableText(text);
  if (speakable.empty() || !Ready()) return {};
  const auto found = std::find_if(cache_.begin(), cache_.end(),
                                  [&](const Spoken& spoken) { return spoken.text == speakable; });
  if (found != cache_.end()) {
    ++cacheHits_;
    cache_.splice(cache_.begin(), cache_, found);
    return cache_.front().samples;
  }
  ++syntheses_;
  cache_.push_front({speakable, SynthesizeNow(speakable, voice_)});
  if (cache_.size() > kCacheSize) cache_.pop_back();
  return cache_.front().samples;
}

}  // namespace voskel::platform
