#pragma once
// What the listener chose to hear, kept in voice.cfg in the working folder from run to run:
// who says the words, how much is said, and the signal tone. VOSKEL.CFG is left as it is.
//
//   voice=clips            or speech-dispatcher
//   verbosity=1            2 or 3
//   tone=off               or on
#include <filesystem>
#include <string>
#include <string_view>

#include "core/panel.h"

namespace voskel {

inline constexpr const char* kVoiceSettingsFileName = "voice.cfg";

struct VoiceSettings {
  Voice voice = Voice::kClips;
  Verbosity verbosity = Verbosity::kAsEver;
  bool tone = false;
  friend bool operator==(const VoiceSettings&, const VoiceSettings&) = default;
};

// A line that is not understood, or a value out of range, leaves its setting as it was.
VoiceSettings ReadVoiceSettings(std::string_view text, VoiceSettings settings = {});
std::string VoiceSettingsText(const VoiceSettings& settings);
// The file's settings; the defaults when it is missing.
VoiceSettings LoadVoiceSettings(const std::filesystem::path& dir);
// Written whole or not at all; false when it could not be.
bool SaveVoiceSettings(const std::filesystem::path& dir, const VoiceSettings& settings);

const char* VoiceName(Voice voice);
bool ReadVoiceName(std::string_view name, Voice& voice);
bool ReadVerbosity(std::string_view text, Verbosity& verbosity);

// At start-up: the settings of the working folder in force, and speech-dispatcher reached
// when it is the voice chosen. When it cannot be, the listener is told once (standard
// output, braille) and the clips speak; the choice stays kept for the next run.
void TakeVoiceSettings(Panel& panel);
// Writes voice.cfg when what is in force is not what it holds; cheap when nothing changed.
void KeepVoiceSettings(Panel& panel);

}  // namespace voskel
