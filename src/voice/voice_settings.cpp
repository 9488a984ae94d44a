#include "voice/voice_settings.h"

#include <fstream>
#include <sstream>

#include "platform/atomic_file.h"

namespace voskel {
namespace {

VoiceSettings InForce(const PanelState& s) {
  return {s.Voice, s.Verbosity, s.SignalTone};
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

}  // namespace

const char* VoiceName(Voice voice) {
  return voice == Voice::kSpeechDispatcher ? "speech-dispatcher" : "clips";
}

bool ReadVoiceName(std::string_view name, Voice& voice) {
  if (name == "clips") voice = Voice::kClips;
  else if (name == "speech-dispatcher") voice = Voice::kSpeechDispatcher;
  else return false;
  return true;
}

bool ReadVerbosity(std::string_view text, Verbosity& verbosity) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '3') return false;
  verbosity = static_cast<Verbosity>(text[0] - '0');
  return true;
}

VoiceSettings ReadVoiceSettings(std::string_view text, VoiceSettings settings) {
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    const std::string_view trimmed = Trimmed(line);
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view name = Trimmed(trimmed.substr(0, equals));
    const std::string_view value = Trimmed(trimmed.substr(equals + 1));
    if (name == "voice") {
      ReadVoiceName(value, settings.voice);
    } else if (name == "verbosity") {
      ReadVerbosity(value, settings.verbosity);
    } else if (name == "tone" && (value == "on" || value == "off")) {
      settings.tone = value == "on";
    }
  }
  return settings;
}

std::string VoiceSettingsText(const VoiceSettings& settings) {
  return std::string("voice=") + VoiceName(settings.voice) + "\r\nverbosity=" +
         std::to_string(static_cast<int>(settings.verbosity)) +
         "\r\ntone=" + (settings.tone ? "on" : "off") + "\r\n";
}

VoiceSettings LoadVoiceSettings(const std::filesystem::path& dir) {
  std::ifstream file(dir / kVoiceSettingsFileName, std::ios::binary);
  if (!file) return {};
  std::ostringstream text;
  text << file.rdbuf();
  return ReadVoiceSettings(text.str());
}

bool SaveVoiceSettings(const std::filesystem::path& dir, const VoiceSettings& settings) {
  return platform::WriteFileAtomically(dir / kVoiceSettingsFileName, VoiceSettingsText(settings));
}

void TakeVoiceSettings(Panel& panel) {
  auto& s = panel.state;
  const VoiceSettings settings = LoadVoiceSettings(panel.workDir);
  s.Voice = settings.voice;
  s.Verbosity = settings.verbosity;
  s.SignalTone = settings.tone;
  s.KeptVoiceSettings = VoiceSettingsText(settings);
  if (s.Voice != Voice::kSpeechDispatcher || panel.speechServer != nullptr) return;
  std::string why = "this panel cannot reach it";
  if (panel.openSpeechServer) panel.speechServer = panel.openSpeechServer(why);
  if (panel.speechServer != nullptr) return;
  const std::string notice = "speech-dispatcher is not available (" + why + "); the clips speak";
  panel.braille.Show(notice);
  panel.transcript.WriteLine(panel.clock.LocalTime() + " " + notice);
}

void KeepVoiceSettings(Panel& panel) {
  auto& s = panel.state;
  const std::string text = VoiceSettingsText(InForce(s));
  if (text == s.KeptVoiceSettings) return;
  // A write that fails (a full disk) is tried again at the next tick.
  if (SaveVoiceSettings(panel.workDir, InForce(s))) s.KeptVoiceSettings = text;
}

}  // namespace voskel
