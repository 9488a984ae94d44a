// Voskel: the talking front panel for the AR8600 receiver.
#include <filesystem>

#include "core/panel.h"
#include "app/startup.h"
#include "link/serial_link.h"
#include "platform/clock.h"
#include "platform/espeak_speech.h"
#include "platform/sdl/sdl_sound.h"
#include "platform/sdl/sdl_window.h"

int main() {
  using namespace voskel;
  const std::filesystem::path workDir = std::filesystem::current_path();
  platform::SystemClock clock;
  platform::SdlWindow window;
  platform::SdlSound sound(workDir, clock);
  platform::EspeakSpeech speech(platform::SpeechVoiceFromEnvironment());
  SerialLink ports(workDir);
  Panel panel(window, sound, speech, ports, clock, workDir);
  return StartUp(panel);
}
