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
#include <string>
#include <string_view>

#include "engine.h"
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

void OnStopSignal(int) {
  gStop = 1;
}

struct Options {
  std::string dir = ".";
  int port = 1;
  std::string signalsFile;
  bool verbose = false;
};

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: ar8600-sim [--dir DIR] [--port N] [--signals FILE] [--verbose]\n"
               "  --dir DIR       where to make the link comN and keep %s (default: .)\n"
               "  --port N        port number N of the link comN, 1..256 (default: 1)\n"
               "  --signals FILE  signals on the air, one a line: MHz width-kHz level\n"
               "                  [seconds-on seconds-off] (default: a built-in band)\n"
               "  --verbose       show every command and reply on stderr\n",
               kMemoryFileName);
}

// 0 to run, otherwise the exit code.
int ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    const bool wantsValue = arg == "--dir" || arg == "--port" || arg == "--signals";
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
  if (::access(memoryPath.c_str(), F_OK) != 0) SaveMemory(memoryPath, engine.Memory());
  std::uint64_t savedVersion = engine.MemoryVersion();

  voskel::sim::PtyPort pty;
  std::string error;
  if (!pty.Open(error)) {
    std::fprintf(stderr, "ar8600-sim: %s\n", error.c_str());
    return 1;
  }
  const std::string linkPath = options.dir + "/com" + std::to_string(options.port);
  if (!voskel::sim::MakeLink(linkPath, pty.DevicePath(), error)) {
    std::fprintf(stderr, "ar8600-sim: %s\n", error.c_str());
    return 1;
  }
  std::fprintf(stderr, "ar8600-sim: %s -> %s\n", linkPath.c_str(), pty.DevicePath().c_str());

  std::string pending;
  bool hungUp = true;
  std::int64_t lastMs = MonotonicMs();
  while (!gStop) {
    pollfd watch{pty.Fd(), static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0};
    const int ready = ::poll(&watch, 1, kTickMs);
    if (ready < 0 && errno != EINTR) {
      std::fprintf(stderr, "ar8600-sim: poll: %s\n", std::strerror(errno));
      break;
    }
    const bool hangUpNow = ready > 0 && (watch.revents & POLLHUP) != 0;
    if (ready > 0 && (watch.revents & POLLIN) != 0) {
      char buffer[4096];
      ssize_t n;
      while ((n = ::read(pty.Fd(), buffer, sizeof buffer)) > 0) {
        engine.Input(std::string_view(buffer, static_cast<std::size_t>(n)));
      }
    }
    if (hangUpNow && !hungUp) {
      // Nobody has the port open any more: whatever was on its way is for nobody, and
      // must not greet the next program that opens it.
      ::tcflush(pty.Fd(), TCIOFLUSH);
      pending.clear();
    }
    hungUp = hangUpNow;
    if (hungUp && (watch.revents & POLLIN) == 0) {
      // poll() reports the hang-up at once until the port is opened again; wait a tick.
      ::poll(nullptr, 0, kTickMs);
    }

    const std::int64_t nowMs = MonotonicMs();
    engine.Advance(nowMs - lastMs);
    lastMs = nowMs;

    std::string out = engine.TakeOutput();
    if (!hungUp) {
      pending += out;
      if (pending.size() > kMaxPendingWrite) pending.erase(0, pending.size() - kMaxPendingWrite);
      if (!Flush(pty.Fd(), pending)) hungUp = true;
    }
    if (engine.MemoryVersion() != savedVersion && SaveMemory(memoryPath, engine.Memory())) {
      savedVersion = engine.MemoryVersion();
    }
  }
  voskel::sim::RemoveLink(linkPath, pty.DevicePath());
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
  std::signal(SIGPIPE, SIG_IGN);
  return Run(options);
}
