// Voskel: the talking front panel for the AR8600 receiver.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/panel_options.h"
#include "app/serving_clock.h"
#include "app/startup.h"
#include "core/panel.h"
#include "link/serial_link.h"
#include "platform/brlapi_braille.h"
#include "platform/clock.h"
#include "platform/espeak_speech.h"
#include "platform/network.h"
#include "platform/speech_server.h"
#include "platform/sdl/sdl_sound.h"
#include "platform/sdl/sdl_window.h"
#include "platform/transcript.h"

int main(int argc, char** argv) {
  using namespace voskel;
  PanelOptions options;
  std::string error;
  switch (ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    case CommandLine::kHelp:
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    case CommandLine::kWrong:
      std::fprintf(stderr, "voskel: %s\n%s", error.c_str(), UsageText().c_str());
      return 2;
    case CommandLine::kRun:
      break;
  }
  // A reader of standard output that went away ends the transcript, not the panel.
  std::signal(SIGPIPE, SIG_IGN);
  const std::filesystem::path workDir = std::filesystem::current_path();
  // An option that cannot be kept is not silently forgotten: the run does not start.
  if (!KeepChosenVoice(workDir, options)) return 1;
  platform::PosixNetwork network;
  const std::unique_ptr<RigctlServer> rigctl = OpenRigctlPort(network, options);
  platform::SystemClock systemClock;
  ServingClock clock(systemClock);
  platform::SdlWindow window;
  platform::SdlSound sound(workDir, clock, [&window] { return window.StopRequested(); });
  platform::EspeakSpeech speech(platform::SpeechVoiceFromEnvironment());
  SerialLink ports(workDir);
  platform::BrlapiBraille braille([&window] { return window.X11WindowId(); });
  platform::StandardOutputTranscript transcript;
  Panel panel(window, sound, speech, ports, clock, workDir, braille, transcript);
  panel.remote = rigctl.get();
  clock.ServeDuringWaits(&panel);
  panel.openSpeechServer = platform::OpenSpeechDispatcher;
  return StartUp(panel);
}
