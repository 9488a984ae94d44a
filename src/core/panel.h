#pragma once
// The context of one run: the panel's state and the services it works through.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/debug_log.h"
#include "core/panel_state.h"
#include "core/spoken_message.h"
#include "platform/braille.h"
#include "core/remote_control.h"
#include "platform/clock.h"
#include "platform/serial_ports.h"
#include "platform/sound.h"
#include "platform/speech.h"
#include "platform/speech_server.h"
#include "platform/transcript.h"
#include "platform/window.h"

namespace voskel {

// The pen of the panel window: where the next print goes and how it looks.
struct Pen {
  int x = 0;
  int y = 0;
  platform::Colour colour = platform::kBlack;
  platform::Font font;  // points 0: the window's initial font
};

struct Panel {
  Panel(platform::Window& w, platform::Sound& s, platform::Speech& t, platform::SerialPorts& p,
        platform::Clock& c, std::filesystem::path dir,
        platform::Braille& b = platform::NoBraille::Instance(),
        platform::Transcript& m = platform::NoTranscript::Instance())
      : window(w),
        sound(s),
        speech(t),
        ports(p),
        clock(c),
        braille(b),
        transcript(m),
        workDir(std::move(dir)) {}

  PanelState state;
  platform::Window& window;
  platform::Sound& sound;
  platform::Speech& speech;  // what has no clip (a channel's tag), played through sound
  platform::SerialPorts& ports;
  platform::Clock& clock;
  platform::Braille& braille;        // each message as it is said, while it is said
  platform::Transcript& transcript;  // each finished message, with its time
  std::filesystem::path workDir;     // where VOSKEL.CFG, wave/, the banks and the log live
  Pen pen;
  DebugLog log;
  Messages messages;  // what the panel says, as words
  RemoteControl* remote = nullptr;  // the network port, when it was asked for
  // How speech-dispatcher is reached, when the listener chooses it (none: it cannot be);
  // the server, while it is reached and speaks the words.
  std::function<std::unique_ptr<platform::SpeechServer>(std::string& why)> openSpeechServer;
  std::unique_ptr<platform::SpeechServer> speechServer;
};

// Writes the line to the debug log when the debug switch is 1.
void WriteLogLine(Panel& panel, std::string_view line);

}  // namespace voskel
