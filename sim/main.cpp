// ar8600-sim: the simulated AR8600 receiver on a pseudo-terminal.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "engine.h"
#include "fault_windows.h"
#include "memory_banks.h"
#include "pty_port.h"
#include "signals.h"
#include "text_files.h"

namespace {

using voskel::sim::Engine;

constexpr int kTickMs = 10;
constexpr std::size_t kMaxPendingWrite = 64 * 1024;
constexpr const char* kMemoryFileName = "ar8600-sim-memory.txt";

volatile std::sig_atomic_t gStop = 0;
// SIGUSR1 switches the receiver off and on, SIGUSR2 pulls its cable and plugs it back.
volatile std::sig_atomic_t gSwitchedOff = 0;
volatile std::sig_atomic_t gPulled = 0;

void OnStopSignal(int) {
  gStop = 1;
}

void OnFaultSignal(int signal) {
  if (signal == SIGUSR1) gSwitchedOff = !gSwitchedOff;
  if (signal == SIGUSR2) gPulled = !gPulled;
}

struct Options {
  std::string dir = ".";
  int port = 1;
  std::string signalsFile;
  bool verbose = false;
  voskel::sim::FaultPlan faults;
  std::vector<voskel::sim::Window> silent;
  std::vector<voskel::sim::Window> unplugged;
};

bool IsFaultOption(const std::string& arg) {
  for (const char* name : {"--seed", "--refuse", "--refuse-chance", "--drop-chance",
                           "--delay-chance", "--delay-ms", "--garble-chance",
                           "--garble-command-chance", "--silent", "--unplug"})
    if (arg == name) return true;
  return false;
}

bool SetFault(Options& options, const std::string& arg, const std::string& value) {
  if (arg == "--silent" || arg == "--unplug") {
    voskel::sim::Window window;
    if (!voskel::sim::ParseWindow(value, window)) return false;
    (arg == "--silent" ? options.silent : options.unplugged).push_back(window);
    return true;
  }
  return voskel::sim::SetFaultOption(options.faults, std::string_view(arg).substr(2), value);
}

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: ar8600-sim [--dir DIR] [--port N] [--signals FILE] [--verbose] [FAULTS]\n"
               "  --dir DIR       where to make the link comN and keep %s (default: .)\n"
               "  --port N        port number N of the link comN, 1..256 (default: 1)\n"
               "  --signals FILE  signals on the air, one a line: MHz width-kHz level\n"
               "                  [seconds-on seconds-off] (default: a built-in band)\n"
               "  --verbose       show every command and reply on stderr\n"
               "faults, each choice drawn from --seed N so that a run can be replayed:\n"
               "  --refuse CMD    answer \"?\" to commands beginning with CMD (repeatable)\n"
               "  --refuse-chance P, --drop-chance P, --delay-chance P [--delay-ms MS],\n"
               "  --garble-chance P, --garble-command-chance P\n"
               "                  refuse a command, lose, delay or garble a reply, garble a\n"
               "                  command, each with chance P from 0 to 1\n"
               "  --silent S-E    switched off from second S to second E (repeatable)\n"
               "  --unplug S-E    the link gone from second S to second E (repeatable)\n"
               "  SIGUSR1 switches the receiver off and on, SIGUSR2 unplugs and plugs it\n",
               kMemoryFileName);
}

// 0 to run, otherwise the exit code.
int ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    const bool wantsValue =
        arg == "--dir" || arg == "--port" || arg == "--signals" || IsFaultOption(arg);
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    } else if (wantsValue) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "ar8600-sim: %s needs a value\n", arg.c_str());
        return 2;
      }
      value = argv[++i];
    }
    if (arg == "--dir") {
      options.dir = value;
    } else if (arg == "--port") {
      char* end = nullptr;
      const long port = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || port < 1 || port > 256) {
        std::fprintf(stderr, "ar8600-sim: --port wants a number from 1 to 256\n");
        return 2;
      }
      options.port = static_cast<int>(port);
    } else if (arg == "--signals") {
      options.signalsFile = value;
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (IsFaultOption(arg)) {
      if (!SetFault(options, arg, value)) {
        std::fprintf(stderr, "ar8600-sim: %s does not take %s (see --help)\n", arg.c_str(),
                     value.c_str());
        return 2;
      }
    } else if (arg == "--help" || arg == "-h") {
      Usage(stdout);
      return -1;
    } else {
      std::fprintf(stderr, "ar8600-sim: unknown option %s\n", argv[i]);
      Usage(stderr);
      return 2;
    }
  }
  return 0;
}

bool LoadSignals(const Options& options, voskel::sim::SignalList& signals) {
  if (options.signalsFile.empty()) {
    signals = voskel::sim::BuiltInBand();
    return true;
  }
  const auto text = voskel::sim::ReadTextFile(options.signalsFile);
  if (!text) {
    std::fprintf(stderr, "ar8600-sim: cannot read %s: %s\n", options.signalsFile.c_str(),
                 std::strerror(errno));
    return false;
  }
  auto parsed = voskel::sim::ParseSignals(*text);
  for (const auto& error : parsed.errors) {
    std::fprintf(stderr, "ar8600-sim: %s %s\n", options.signalsFile.c_str(), error.c_str());
  }
  if (!parsed.errors.empty()) return false;
  signals = std::move(parsed.list);
  return true;
}

voskel::sim::MemoryBanks LoadMemory(const std::string& path) {
  const auto text = voskel::sim::ReadTextFile(path);
  if (!text) return voskel::sim::MemoryBanks();
  auto parsed = voskel::sim::ParseMemoryFile(*text);
  for (const auto& error : parsed.errors) {
    std::fprintf(stderr, "ar8600-sim: %s %s (skipped)\n", path.c_str(), error.c_str());
  }
  return parsed.memory;
}

bool SaveMemory(const std::string& path, const voskel::sim::MemoryBanks& memory) {
  if (voskel::sim::WriteTextFileAtomically(path, voskel::sim::FormatMemoryFile(memory))) {
    return true;
  }
  std::fprintf(stderr, "ar8600-sim: cannot save %s: %s\n", path.c_str(), std::strerror(errno));
  return false;
}

std::int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Sends what the line takes now and keeps the rest for the next tick. False when the
// far end is gone.
bool Flush(int fd, std::string& pending) {
  while (!pending.empty()) {
    const ssize_t n = ::write(fd, pending.data(), pending.size());
    if (n > 0) {
      pending.erase(0, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return true;
    } else {
      pending.clear();
      return false;
    }
  }
  return true;
}

// The receiver's end of the cable: a pseudo-terminal and the link comN to it. Pulling
// the cable closes it, so the program on the far end sees the device go away.
struct Cable {
  std::string linkPath;
  std::unique_ptr<voskel::sim::PtyPort> pty;
  std::string pending;
  bool hungUp = true;

  bool PlugIn() {
    auto fresh = std::make_unique<voskel::sim::PtyPort>();
    std::string error;
    if (!fresh->Open(error) || !voskel::sim::MakeLink(linkPath, fresh->DevicePath(), error)) {
      std::fprintf(stderr, "ar8600-sim: %s\n", error.c_str());
      return false;
    }
    std::fprintf(stderr, "ar8600-sim: %s -> %s\n", linkPath.c_str(), fresh->DevicePath().c_str());
    pty = std::move(fresh);
    hungUp = true;
    return true;
  }

  void Pull() {
    if (!pty) return;
    voskel::sim::RemoveLink(linkPath, pty->DevicePath());
    pty.reset();
    pending.clear();
    std::fprintf(stderr, "ar8600-sim: %s unplugged\n", linkPath.c_str());
  }
};

// One turn of the line: what came in goes to the engine, then what the engine has to say
// goes out.
void ServeCable(Cable& cable, Engine& engine) {
  const int fd = cable.pty->Fd();
  pollfd watch{fd, static_cast<short>(POLLIN | (cable.pending.empty() ? 0 : POLLOUT)), 0};
  const int ready = ::poll(&watch, 1, kTickMs);
  if (ready < 0 && errno != EINTR) return;
  const bool hangUpNow = ready > 0 && (watch.revents & POLLHUP) != 0;
  if (ready > 0 && (watch.revents & POLLIN) != 0) {
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
      engine.Input(std::string_view(buffer, static_cast<std::size_t>(n)));
  }
  if (hangUpNow && !cable.hungUp) {
    // Nobody has the port open any more: whatever was on its way is for nobody, and
    // must not greet the next program that opens it.
    ::tcflush(fd, TCIOFLUSH);
    cable.pending.clear();
  }
  cable.hungUp = hangUpNow;
  // poll() reports the hang-up at once until the port is opened again; wait a tick.
  if (cable.hungUp && (watch.revents & POLLIN) == 0) ::poll(nullptr, 0, kTickMs);
}

void SendOut(Cable& cable, Engine& engine) {
  std::string out = engine.TakeOutput();
  if (!cable.pty || cable.hungUp) return;
  cable.pending += out;
  if (cable.pending.size() > kMaxPendingWrite)
    cable.pending.erase(0, cable.pending.size() - kMaxPendingWrite);
  if (!Flush(cable.pty->Fd(), cable.pending)) cable.hungUp = true;
}

int Run(const Options& options) {
  voskel::sim::SignalList signals;
  if (!LoadSignals(options, signals)) return 1;
  const std::string memoryPath = options.dir + "/" + kMemoryFileName;
  Engine engine(std::move(signals), LoadMemory(memoryPath));
  if (options.verbose) {
    engine.SetTrace([](std::string_view line) {
      std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    });
  }
  engine.SetFaults(options.faults);
  if (::access(memoryPath.c_str(), F_OK) != 0) SaveMemory(memoryPath, engine.Memory());
  std::uint64_t savedVersion = engine.MemoryVersion();

  Cable cable;
  cable.linkPath = options.dir + "/com" + std::to_string(options.port);
  if (!cable.PlugIn()) return 1;

  const std::int64_t startMs = MonotonicMs();
  std::int64_t lastMs = startMs;
  while (!gStop) {
    const std::int64_t sinceStart = lastMs - startMs;
    engine.SetSilent(voskel::sim::InWindow(options.silent, sinceStart) != (gSwitchedOff != 0));
    const bool pulled = voskel::sim::InWindow(options.unplugged, sinceStart) != (gPulled != 0);
    if (pulled) cable.Pull();
    if (!pulled && !cable.pty && !cable.PlugIn()) break;
    if (cable.pty)
      ServeCable(cable, engine);
    else
      ::poll(nullptr, 0, kTickMs);

    const std::int64_t nowMs = MonotonicMs();
    engine.Advance(nowMs - lastMs);
    lastMs = nowMs;
    SendOut(cable, engine);
    if (engine.MemoryVersion() != savedVersion && SaveMemory(memoryPath, engine.Memory())) {
      savedVersion = engine.MemoryVersion();
    }
  }
  cable.Pull();
  if (engine.MemoryVersion() != savedVersion) SaveMemory(memoryPath, engine.Memory());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const int parsed = ParseOptions(argc, argv, options);
  if (parsed != 0) return parsed < 0 ? 0 : parsed;

  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  stop.sa_flags = 0;  // no restart: poll() returns at once on a stop signal
  ::sigaction(SIGINT, &stop, nullptr);
  ::sigaction(SIGTERM, &stop, nullptr);
  struct sigaction fault {};
  fault.sa_handler = OnFaultSignal;
  sigemptyset(&fault.sa_mask);
  fault.sa_flags = SA_RESTART;
  ::sigaction(SIGUSR1, &fault, nullptr);
  ::sigaction(SIGUSR2, &fault, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  return Run(options);
}
