#include "signals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace voskel::sim {
namespace {

constexpr int kAttenuation = 20;

bool IsOn(const Signal& signal, std::int64_t nowMs) {
  if (signal.onSec <= 0 || signal.offSec <= 0) return true;
  const auto onMs = static_cast<std::int64_t>(std::llround(signal.onSec * 1000));
  const auto periodMs = onMs + static_cast<std::int64_t>(std::llround(signal.offSec * 1000));
  if (periodMs <= 0) return true;
  const std::int64_t phase = ((nowMs % periodMs) + periodMs) % periodMs;
  return phase < onMs;
}

bool Covers(const Signal& signal, std::int64_t hz) {
  const double offsetKhz = std::fabs(static_cast<double>(hz) / 1000.0 - signal.mhz * 1000.0);
  // A hair of tolerance so that a width of 10 kHz really covers +-5 kHz in floating point.
  return offsetKhz <= signal.widthKhz / 2.0 + 1e-6;
}

// A fixed, uneven hiss level per 100 Hz so that quiet channels differ but stay quiet.
int NoiseAt(std::int64_t hz) {
  std::uint64_t x = static_cast<std::uint64_t>(hz / 100) * 0x9E3779B97F4A7C15ULL;
  x ^= x >> 29;
  return 2 + static_cast<int>(x % 13);
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ',')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

bool ReadNumber(std::string_view field, double& value) {
  const std::string text(field);
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value);
}

}  // namespace

int SignalList::LevelAt(std::int64_t hz, std::int64_t nowMs, bool attenuator) const {
  int best = -1;
  for (const Signal& signal : signals_) {
    if (signal.level > best && Covers(signal, hz) && IsOn(signal, nowMs)) best = signal.level;
  }
  if (best < 0) {
    const int noise = NoiseAt(hz);
    return attenuator ? noise / 2 : noise;
  }
  return attenuator ? std::max(0, best - kAttenuation) : best;
}

SignalList BuiltInBand() {
  return SignalList({
      // Broadcast FM, always on.
      {88.6, 200, 140, 0, 0},
      {91.3, 200, 95, 0, 0},
      {94.9, 200, 180, 0, 0},
      {98.8, 200, 60, 0, 0},
      {101.1, 200, 120, 0, 0},
      {104.4, 200, 35, 0, 0},
      {107.7, 200, 75, 0, 0},
      // Air band: a steady ATIS, tower and approach that come and go.
      {118.7, 8, 90, 4, 6},
      {119.1, 8, 150, 0, 0},
      {121.5, 8, 40, 2, 30},
      {124.35, 8, 110, 6, 9},
      {132.0, 8, 70, 3, 12},
      // Two-metre FM repeaters and a simplex chat.
      {145.5, 8, 120, 5, 7},
      {145.6, 8, 80, 0, 0},
      {145.725, 8, 60, 10, 20},
      {145.775, 8, 45, 3, 5},
      // 70 cm: repeaters, a simplex call channel and telemetry bursts.
      {433.5, 8, 100, 6, 8},
      {433.92, 20, 200, 1, 9},
      {438.65, 8, 85, 0, 0},
      {439.0, 8, 50, 8, 16},
  });
}

SignalParse ParseSignals(std::string_view text) {
  SignalParse result;
  std::vector<Signal> signals;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const auto end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end != std::string_view::npos && text[end] == '\r' && next < text.size() &&
        text[next] == '\n') {
      ++next;
    }
    text = text.substr(next);
    if (const auto hash = line.find('#'); hash != std::string_view::npos) {
      line = line.substr(0, hash);
    }
    const auto fields = Fields(line);
    if (fields.empty()) continue;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (fields.size() != 3 && fields.size() != 5) {
      result.errors.push_back(where + "expected MHz, width kHz, level [, seconds on, seconds off]");
      continue;
    }
    double values[5] = {0, 0, 0, 0, 0};
    bool ok = true;
    for (std::size_t i = 0; i < fields.size(); ++i) ok = ok && ReadNumber(fields[i], values[i]);
    if (!ok) {
      result.errors.push_back(where + "not a number");
      continue;
    }
    if (values[0] <= 0 || values[0] > 3000 || values[1] < 0 || values[1] > 10000 || values[2] < 0 ||
        values[2] > 255 || values[3] < 0 || values[4] < 0) {
      result.errors.push_back(where + "value out of range");
      continue;
    }
    signals.push_back({values[0], values[1], static_cast<int>(values[2]), values[3], values[4]});
  }
  result.list = SignalList(std::move(signals));
  return result;
}

}  // namespace voskel::sim
