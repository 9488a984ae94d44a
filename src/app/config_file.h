#pragma once
#include <filesystem>
#include <istream>

#include "core/panel_state.h"

namespace voskel {

inline constexpr const char* kConfigFileName = "VOSKEL.CFG";

// Takes the five configuration lines into PortText, SpeedText, VoiceSwitch and
// DebugSwitch. Missing lines read as empty.
void ReadConfigLines(std::istream& in, PanelState& state);
// False when the file cannot be opened; the state is then untouched.
bool ReadConfigFile(const std::filesystem::path& path, PanelState& state);

// The numeric values the configuration texts stand for.
int PortNumberOf(const std::string& portText);
int BaudRateOf(const std::string& speedText);

}  // namespace voskel
