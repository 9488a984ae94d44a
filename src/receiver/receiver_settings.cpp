#include "receiver/receiver_settings.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/text.h"
#include "link/exchange.h"
#include "panel/pen.h"
#include "voice/voice.h"

namespace voskel {
namespace {

// "VA"/"VB" + the frequency with four places before its point, filled to the receiver's
// fixed width with zeros.
std::string FrequencyCommand(const char* word, const std::string& tuneText) {
  const double mhz = std::trunc(ReadNumber(tuneText));
  std::string command = word;
  if (mhz < 1000) command += '0';
  if (mhz < 100) command += '0';
  if (mhz < 10) command += '0';
  command += tuneText;
  while (command.size() < 11) command += '0';
  command += '0';
  return Cap(command);
}

void SendFrequency(Panel& panel, const char* word) {
  auto& s = panel.state;
  s.CommandText = FrequencyCommand(word, s.TuneText);
  if (s.Frequency.find('.') == std::string::npos) s.Frequency = Cap(s.TuneText + ".0");
  SendCommand(panel);
}

void SendText(Panel& panel, const char* command) {
  panel.state.CommandText = command;
  SendCommand(panel);
}

}  // namespace

void SetFrequency(Panel& panel) {
  SendFrequency(panel, "VA");
  ShowFrequency(panel);
}

void SetFrequencyB(Panel& panel) { SendFrequency(panel, "VB"); }

void ShowFrequency(Panel& panel) {
  auto& s = panel.state;
  s.TuneText = s.Frequency;
  SetFont(panel, "Ariel", 50, 700);
  MoveTo(panel, 300, 150);
  PrintAt(panel, std::string(20, ' '), "\r\n");
  MoveTo(panel, 300, 150);
  SetColour(panel, platform::kBlue);
  PrintAt(panel, s.Frequency, "\r\n");
  if (s.Frequency.size() < 8) {
    const std::size_t zeros = std::min<std::size_t>(8 - s.Frequency.size(), 4);
    PrintAt(panel, std::string(zeros, '0'), std::string(30, ' '), "\r\n");
  }
  SetColour(panel, platform::kBlack);
  SetFont(panel, "Ariel", 30, 700);
  s.FreshEntry = 1;
}

void FrequencyToHz(Panel& panel) {
  auto& s = panel.state;
  s.FrequencyHz = MhzTextToHz(s.TuneText);
}

void HzToFrequency(Panel& panel) {
  auto& s = panel.state;
  std::string digits = std::to_string(s.FrequencyHz < 0 ? 0 : s.FrequencyHz);
  // Below 1 MHz the text still needs its six places after the point: 500000 -> ".5".
  if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
  const std::size_t whole = digits.size() - 6;
  std::string text = digits.substr(0, whole) + "." + digits.substr(whole);
  while (!text.empty() && text.back() == '0') text.pop_back();
  s.TuneText = text;
}

void StepFrequency(Panel& panel, std::int64_t deltaHz) {
  auto& s = panel.state;
  s.TuneText = s.Frequency;
  FrequencyToHz(panel);
  if (!TunableHz(s.FrequencyHz + deltaHz)) {
    Speak(panel, "inv");
    return;
  }
  s.FrequencyHz += deltaHz;
  HzToFrequency(panel);
  s.Frequency = s.TuneText;
  SetFrequency(panel);
}

void SetStep(Panel& panel) {
  auto& s = panel.state;
  const double khz = std::trunc(ReadNumber(s.StepText));
  std::string command = "ST";
  if (khz < 100) command += '0';
  if (khz < 10) command += '0';
  command += s.StepText;
  while (command.size() < 8) command += '0';
  s.CommandText = Cap(command);
  SendCommand(panel);
}

namespace {

struct ModeRow {
  Mode mode;
  const char* name;
  const char* command;
  const char* clip;
};

// In the order ApplyMode compares them.
constexpr ModeRow kModes[] = {
    {Mode::FM, "FM", "MD1", "FM"},    {Mode::AM, "AM", "MD2", "AM"},
    {Mode::WFM, "WFM", "MD0", "WFM"}, {Mode::LSB, "LSB", "MD4", "LSB"},
    {Mode::USB, "USB", "MD3", "USB"}, {Mode::CW, "CW ", "MD5", "cw"},
    {Mode::Auto, "AUT", "AU1", "auto"},
};

}  // namespace

void SelectMode(Panel& panel, Mode mode) {
  for (const ModeRow& row : kModes) {
    if (row.mode != mode) continue;
    panel.state.ModeName = row.name;
    Speak(panel, row.clip);
    SendText(panel, row.command);
    if (mode == Mode::CW) SetFont(panel, "Aerial", 30, 700);
    return;
  }
}

void ApplyMode(Panel& panel) {
  auto& s = panel.state;
  MoveTo(panel, 380, 80);
  SetFont(panel, "Ariel", 50, 700);
  SetColour(panel, platform::kBlack);
  PrintAt(panel, s.ModeName, "      ", "\r\n");
  SetFont(panel, "Aerial", 30, 700);
  for (const ModeRow& row : kModes) {
    if (s.ModeName == row.name) {
      SelectMode(panel, row.mode);
      return;
    }
  }
}

void ToggleAttenuator(Panel& panel) {
  auto& s = panel.state;
  if (s.AttenuatorOn == 0) {
    s.AttenuatorOn = 1;
    s.CommandText = "AT1";
    Speak(panel, "atton");
  } else {
    s.AttenuatorOn = 0;
    s.CommandText = "AT0";
    Speak(panel, "attoff");
  }
  SendCommand(panel);
}

void ToggleNoiseLimiter(Panel& panel) {
  auto& s = panel.state;
  Speak(panel, "noise");
  s.NoiseLimiterOn = 1 - s.NoiseLimiterOn;
  if (s.NoiseLimiterOn == 1) {
    s.CommandText = "NL1";
    Speak(panel, "on");
  } else {
    s.CommandText = "NL0";
    Speak(panel, "off");
  }
  SendCommand(panel);
}

void SpeakSignalLevel(Panel& panel) {
  const int level = panel.state.SignalLevel;
  Speak(panel, "s");
  const int digit = std::clamp(level, 0, 9);
  SpeakDigit(panel, static_cast<char>('0' + digit));
  if (level > 9) Speak(panel, "plus");
}

void TuneTypedFrequency(Panel& panel) {
  auto& s = panel.state;
  if (s.EntryMode != 0 || s.Frequency.empty()) return;
  Pause(panel);
  s.TuneText = s.Frequency;
  SetFrequency(panel);
  s.ScanState = 0;
  s.BankState = 0;
  s.SearchActive = 0;
}

}  // namespace voskel
