#include "app/panel_options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "voice/voice_settings.h"

namespace voskel {
namespace {

constexpr int kHighestPort = 65535;

bool ReadPort(const std::string& text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  port = std::stoi(text);
  return port >= 1 && port <= kHighestPort;
}

// "--name VALUE" or "--name=VALUE": true when args[i] is the option, with its value.
bool TakeOption(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                std::string& value, bool& missing) {
  const std::string& arg = args[i];
  if (arg.rfind(name + "=", 0) == 0) {
    value = arg.substr(name.size() + 1);
    return true;
  }
  if (arg != name) return false;
  missing = i + 1 >= args.size();
  if (!missing) value = args[++i];
  return true;
}

}  // namespace

std::string UsageText() {
  return "usage: voskel [--voice clips|speech-dispatcher] [--verbosity 1|2|3]\n"
         "              [--rigctl-port PORT [--rigctl-listen ADDR]]\n"
         "  runs the panel in the current directory\n"
         "  --voice VOICE         who says the messages: the recorded clips, or\n"
         "                        speech-dispatcher in its own voice and rate; kept\n"
         "                        in voice.cfg for the next runs\n"
         "  --verbosity LEVEL     how much is said: 1 as ever, 2 also where steps,\n"
         "                        channels and stops went, 3 also the squelch; kept\n"
         "                        in voice.cfg\n"
         "  --rigctl-port PORT    answer Hamlib clients (model 2, NET rigctl) on PORT,\n"
         "                        on 127.0.0.1 only\n"
         "  --rigctl-listen ADDR  listen on ADDR instead (0.0.0.0: every network)\n";
}

CommandLine ReadCommandLine(const std::vector<std::string>& args, PanelOptions& options,
                            std::string& error) {
  bool addressGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string value;
    bool missing = false;
    if (args[i] == "-h" || args[i] == "--help") return CommandLine::kHelp;
    if (TakeOption(args, i, "--voice", value, missing)) {
      Voice voice = Voice::kClips;
      if (missing || !ReadVoiceName(value, voice)) {
        error = "--voice needs clips or speech-dispatcher";
        return CommandLine::kWrong;
      }
      options.voice = voice;
    } else if (TakeOption(args, i, "--verbosity", value, missing)) {
      Verbosity verbosity = Verbosity::kAsEver;
      if (missing || !ReadVerbosity(value, verbosity)) {
        error = "--verbosity needs 1, 2 or 3";
        return CommandLine::kWrong;
      }
      options.verbosity = verbosity;
    } else if (TakeOption(args, i, "--rigctl-port", value, missing)) {
      if (missing || !ReadPort(value, options.rigctlPort)) {
        error = "--rigctl-port needs a port number from 1 to 65535";
        return CommandLine::kWrong;
      }
    } else if (TakeOption(args, i, "--rigctl-listen", value, missing)) {
      if (missing || value.empty()) {
        error = "--rigctl-listen needs an address";
        return CommandLine::kWrong;
      }
      options.rigctlAddress = value;
      addressGiven = true;
    } else {
      error = "unknown argument " + args[i];
      return CommandLine::kWrong;
    }
  }
  if (addressGiven && options.rigctlPort == 0) {
    error = "--rigctl-listen needs --rigctl-port";
    return CommandLine::kWrong;
  }
  return CommandLine::kRun;
}

bool KeepChosenVoice(const std::filesystem::path& workDir, const PanelOptions& options) {
  if (!options.voice && !options.verbosity) return true;
  VoiceSettings settings = LoadVoiceSettings(workDir);
  if (options.voice) settings.voice = *options.voice;
  if (options.verbosity) settings.verbosity = *options.verbosity;
  if (SaveVoiceSettings(workDir, settings)) return true;
  std::fprintf(stderr, "voskel: cannot write %s (%s)\n", kVoiceSettingsFileName,
               std::strerror(errno));
  return false;
}

std::unique_ptr<RigctlServer> OpenRigctlPort(platform::Network& network,
                                             const PanelOptions& options) {
  if (options.rigctlPort == 0) return nullptr;
  const int error = network.Listen(options.rigctlAddress, options.rigctlPort);
  if (error == 0) return std::make_unique<RigctlServer>(network);
  if (error == EADDRINUSE)
    std::fprintf(stderr, "voskel: rigctl port %d is in use (%s); the panel runs without it\n",
                 options.rigctlPort, std::strerror(error));
  else
    std::fprintf(stderr,
                 "voskel: rigctl port %d cannot be opened on %s (%s); the panel runs without it\n",
                 options.rigctlPort, options.rigctlAddress.c_str(), std::strerror(error));
  return nullptr;
}

}  // namespace voskel
