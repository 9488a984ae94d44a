#pragma once
// What the panel is started with: its command line, and the network port it asks for.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/network.h"
#include "core/panel_modes.h"
#include "remote/rigctl_server.h"

namespace voskel {

struct PanelOptions {
  int rigctlPort = 0;  // 0: no network port
  std::string rigctlAddress = "127.0.0.1";
  // Chosen for this run and kept in voice.cfg for the next ones; unset: as kept.
  std::optional<Voice> voice;
  std::optional<Verbosity> verbosity;
};

enum class CommandLine { kRun, kHelp, kWrong };

// Reads the options after the program's name; a wrong one is named in error.
CommandLine ReadCommandLine(const std::vector<std::string>& args, PanelOptions& options,
                            std::string& error);
std::string UsageText();

// The voice and verbosity the options chose, written into the working folder's voice.cfg
// beside what it keeps. False, with the reason on standard error, when it cannot be.
bool KeepChosenVoice(const std::filesystem::path& workDir, const PanelOptions& options);

// The Hamlib-compatible port the options ask for, listening; null when none was asked
// for, or when it cannot be opened: that is said in one line on standard error, and the
// panel runs without it.
std::unique_ptr<RigctlServer> OpenRigctlPort(platform::Network& network,
                                             const PanelOptions& options);

}  // namespace voskel
