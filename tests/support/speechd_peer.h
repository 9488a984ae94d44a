#pragma once
// A private speech-dispatcher for a test: Debian's server on a socket of its own, with
// sd_generic as its only module, which writes what it is given to say into a file instead
// of speaking: "said TEXT" when a text (or the piece of it the module says at a time)
// starts, "done" when it was said to its end. A piece naming "keys" (the help's first)
// takes five seconds, so that a key can cut it short. Null when the server or its module
// is not installed.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace voskel::testing {

class SpeechdPeer {
 public:
  static constexpr const char* kServer = "/usr/bin/speech-dispatcher";
  static constexpr const char* kModule = "/usr/lib/speech-dispatcher-modules/sd_generic";

  static std::unique_ptr<SpeechdPeer> Start() {
    if (!std::filesystem::exists(kServer) || !std::filesystem::exists(kModule)) return nullptr;
    auto peer = std::unique_ptr<SpeechdPeer>(new SpeechdPeer);
    if (!peer->Launch()) return nullptr;
    return peer;
  }
  ~SpeechdPeer() { Stop(); }

  // What a client is told to connect to (SPEECHD_ADDRESS).
  std::string Address() const { return "unix_socket:" + Socket().string(); }
  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  // The lines of the record so far.
  std::vector<std::string> Record() const {
    std::istringstream text(ReadWholeFile(dir_.Path() / "record"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }
  // Waits, in real time since the server runs on it, until the record holds what is
  // looked for; false after a few seconds.
  bool WaitFor(const std::function<bool(const std::vector<std::string>&)>& found,
               std::chrono::milliseconds most = std::chrono::seconds(8)) const {
    const auto end = std::chrono::steady_clock::now() + most;
    while (!found(Record())) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

 private:
  SpeechdPeer() = default;
  std::filesystem::path Socket() const { return dir_.Path() / "socket"; }

  bool Launch() {
    const std::filesystem::path conf = dir_.Path() / "conf";
    std::filesystem::create_directories(conf / "modules");
    std::filesystem::create_directories(dir_.Path() / "log");
    std::ofstream(conf / "speechd.conf") << "AddModule \"recorder\" \"sd_generic\" \"recorder.conf\"\n"
                                            "DefaultModule \"recorder\"\n"
                                            "AudioOutputMethod \"alsa\"\n"
                                            "AudioALSADevice \"null\"\n";
    const std::string record = (dir_.Path() / "record").string();
    std::ofstream(conf / "modules" / "recorder.conf")
        << "GenericExecuteSynth \"echo said $DATA | tee -a " << record
        << " | grep -q keys && sleep 5; echo done >> " << record << "\"\n"
        << "AddVoice \"en\" \"male1\" \"recorder\"\n";
    pid_ = ::fork();
    if (pid_ == 0) {
      const int quiet = ::open("/dev/null", O_WRONLY);
      ::dup2(quiet, 1);
      ::dup2(quiet, 2);
      ::execl(kServer, kServer, "-s", "-t", "60", "-c", "unix_socket", "-S", Socket().c_str(),
              "-C", conf.c_str(), "-L", (dir_.Path() / "log").c_str(), "-P",
              (dir_.Path() / "pid").c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(Socket())) {
      if (std::chrono::steady_clock::now() > end || ::waitpid(pid_, nullptr, WNOHANG) != 0) {
        pid_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  TempDir dir_{"speechd-peer"};
  pid_t pid_ = -1;
};

}  // namespace voskel::testing
