#include "app/config_file.h"

#include <cmath>
#include <fstream>
#include <string>

#include "core/text.h"

namespace voskel {
namespace {

// A missing line reads as empty.
std::string ReadConfigLine(std::istream& in) {
  std::string line;
  ReadTextLine(in, line);
  return line;
}

// The numeric value of the one character at a 1-based position: a digit, else 0.
int SwitchAt(const std::string& line, std::size_t position) {
  if (line.size() < position) return 0;
  const char c = line[position - 1];
  return (c >= '0' && c <= '9') ? c - '0' : 0;
}

}  // namespace

void ReadConfigLines(std::istream& in, PanelState& state) {
  const std::string port = ReadConfigLine(in);
  const std::string speed = ReadConfigLine(in);
  ReadConfigLine(in);  // the third line carries nothing the panel uses
  const std::string voice = ReadConfigLine(in);
  const std::string debug = ReadConfigLine(in);
  state.PortText = std::string(SubFrom(port, 4));
  state.SpeedText = std::string(SubFrom(speed, 6));
  state.VoiceSwitch = SwitchAt(voice, 7);
  state.DebugSwitch = SwitchAt(debug, 7);
}

bool ReadConfigFile(const std::filesystem::path& path, PanelState& state) {
  // A folder of that name opens like an empty file; it is no configuration all the same.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  ReadConfigLines(in, state);
  return true;
}

int PortNumberOf(const std::string& portText) {
  if (portText.empty()) return 0;
  return static_cast<int>(ReadNumber(std::string_view(portText).substr(portText.size() - 1)));
}

int BaudRateOf(const std::string& speedText) {
  const double value = std::round(ReadNumber(speedText));
  // A speed no int can hold is no speed a port takes either.
  if (value < 0 || value > 1e9) return 0;
  return static_cast<int>(value);
}

}  // namespace voskel
