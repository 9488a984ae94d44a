// Voskel: the talking front panel for the AR8600 receiver.
#include <csignal>
#include <filesystem>

#include "core/panel.h"
#include "app/startup.h"
#include "link/serial_link.h"
#include "platform/brlapi_braille.h"
#include "platform/clock.h"
#include "platform/espeak_speech.h"
#include "platform/sdl/sdl_sound.h"
#include "platform/sdl/sdl_window.h"
#include "platform/transcript.h"

int main() {
  using namespace voskel;
  // A reader of standard output that went away ends the transcript, not the panel.
  std::signal(SIGPIPE, SIG_IGN);
  const std::filesystem::path workDir = std::filesystem::current_path();
  platform::SystemClock clock;
  platform::SdlWindow window;
  platform::SdlSound sound(workDir, clock);
  platform::EspeakSpeech speech(platform::SpeechVoiceFromEnvironment());
  SerialLink ports(workDir);
  platform::BrlapiBraille braille([&window] { return window.X11WindowId(); });
  platform::StandardOutputTranscript transcript;
  Panel panel(window, sound, speech, ports, clock, workDir, braille, transcript);
  return StartUp(panel);
}
