// The real voskelcfg program against pseudo-terminals put behind a device tree of the
// test's own (VOSKELCFG_ROOT), so no real serial device is ever touched.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine.h"
#include "platform/serial_device.h"
#include "support/sim_program.h"
#include "support/temp_dir.h"

extern char** environ;

namespace voskel {
namespace {

namespace fs = std::filesystem;
using testing::SimProgram;
using testing::TempDir;

// Bounds a broken run; it times nothing.
constexpr auto kRunLimit = std::chrono::seconds(30);
constexpr uid_t kNobody = 65534;

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// A pseudo-terminal whose far end only the program under test opens. The receiver's
// engine answers on it, but only while the line runs at the receiver's speed: at any
// other speed a real line garbles what it carries.
class ReceiverLine {
 public:
  explicit ReceiverLine(speed_t speed = 0) : speed_(speed) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) == 0) device_ = name;
  }
  ReceiverLine(const ReceiverLine&) = delete;
  ReceiverLine& operator=(const ReceiverLine&) = delete;
  ~ReceiverLine() {
    if (master_ >= 0) ::close(master_);
  }

  bool Ok() const { return !device_.empty(); }
  const std::string& Device() const { return device_; }
  // Every byte the program sent, at whatever speed.
  const std::string& Heard() const { return heard_; }

  void Pump() {
    char buffer[256];
    ssize_t got;
    while ((got = ::read(master_, buffer, sizeof buffer)) > 0) {
      const std::string_view bytes(buffer, static_cast<std::size_t>(got));
      heard_.append(bytes);
      termios line{};  // the far end's settings, read through this end
      if (speed_ != 0 && ::tcgetattr(master_, &line) == 0 && ::cfgetospeed(&line) == speed_)
        engine_.Input(bytes);
    }
    const std::string answer = engine_.TakeOutput();
    if (!answer.empty() && ::write(master_, answer.data(), answer.size()) < 0) heard_ += "!";
  }

 private:
  int master_ = -1;
  speed_t speed_;
  std::string device_;
  std::string heard_;
  sim::Engine engine_;
};

class VoskelcfgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root.Path() / "dev/serial/by-id");
    fs::create_directories(root.Path() / "sys/class/tty");
  }

  // Runs voskelcfg with the test's device tree, pumping the lines meanwhile. asNobody runs
  // it as the unprivileged user, for whom devices can be refused even when the test is root.
  Result Run(const std::vector<std::string>& args, bool asNobody = false) {
    std::vector<std::string> env{"VOSKELCFG_ROOT=" + root.Path().string()};
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> argv{const_cast<char*>(VOSKELCFG_BINARY)};
    std::vector<char*> envp;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    for (auto& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const fs::path out = output.Path() / "out", err = output.Path() / "err";
    const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(outFd, STDOUT_FILENO);
      ::dup2(errFd, STDERR_FILENO);
      if (asNobody &&
          (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(126);
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    ::close(outFd);
    ::close(errFd);
    Result result;
    result.exitCode = Wait(pid);
    result.out = testing::ReadWholeFile(out);
    result.err = testing::ReadWholeFile(err);
    return result;
  }

  int Wait(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) != pid) {
      for (ReceiverLine* line : lines) line->Pump();
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
      }
      ::poll(nullptr, 0, 1);
    }
    for (ReceiverLine* line : lines) line->Pump();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Puts a device into the test's tree: root/dev/name leading to target.
  fs::path Device(const std::string& name, const std::string& target) {
    const fs::path path = root.Path() / "dev" / name;
    fs::create_symlink(target, path);
    return path;
  }

  std::string Config() const { return testing::ReadWholeFile(work.Path() / "VOSKEL.CFG"); }

  TempDir root{"voskelcfg-root"};
  TempDir work{"voskelcfg-work"};
  TempDir output{"voskelcfg-output"};
  std::vector<ReceiverLine*> lines;  // pumped while the program runs
};

TEST_F(VoskelcfgTest, PlainRunWritesTheFiveLinesAndBadUsageExitsTwo) {
  const std::string dir = (work.Path() / "new").string();
  Result r = Run({"--dir", dir});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(testing::ReadWholeFile(dir + "/VOSKEL.CFG"),
            "PORT9\r\nSPEED:9600\r\nFLOW:0\r\nVOICE:1\r\nDEBUG:0\r\n");
  EXPECT_EQ(r.err, "wrote " + dir + "/VOSKEL.CFG: port 9, 9600 baud, voice 1, debug log 0\n");
  r = Run({"--dir", dir, "--port", "3", "--speed=4800", "--voice", "0", "--debug", "1"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(testing::ReadWholeFile(dir + "/VOSKEL.CFG"),
            "PORT3\r\nSPEED:4800\r\nFLOW:0\r\nVOICE:0\r\nDEBUG:1\r\n");

  const std::string untouched = (work.Path() / "untouched").string();
  const std::vector<std::vector<std::string>> bad{{"--port", "0"},
                                                  {"--port", "12"},
                                                  {"--speed", "fast"},
                                                  {"--speed", "1200"},
                                                  {"--voice", "2"},
                                                  {"--bogus"},
                                                  {"--port"},
                                                  {"--list", "--find"},
                                                  {"--find", "--speed", "9600"},
                                                  {"--list", "--port", "1"}};
  for (std::vector<std::string> args : bad) {
    args.insert(args.begin(), {"--dir", untouched});
    r = Run(args);
    EXPECT_EQ(r.exitCode, 2) << args[2];
    EXPECT_EQ(r.err.rfind("voskelcfg: ", 0), 0u) << args[2] << ": " << r.err;
    EXPECT_NE(r.err.find("\nusage: voskelcfg "), std::string::npos) << args[2] << ": " << r.err;
    EXPECT_FALSE(fs::exists(untouched)) << args[2];
  }
}

TEST_F(VoskelcfgTest, FindsTheSimulatorBehindAComLinkAndLeavesTheLinkAsItIs) {
  SimProgram sim(work.Path().string(), 3);
  ASSERT_TRUE(sim.WaitForLink());
  const fs::path pty = fs::read_symlink(sim.Link());
  const Result r = Run({"--dir", work.Path().string(), "--find", "--port", "3"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // On a pseudo-terminal every speed carries, so the first one tried answers.
  EXPECT_EQ(r.out, "The receiver answered on " + pty.string() + " at 19200 baud.\n");
  EXPECT_EQ(fs::read_symlink(sim.Link()), pty);
  EXPECT_EQ(Config(), "PORT3\r\nSPEED:19200\r\nFLOW:0\r\nVOICE:1\r\nDEBUG:0\r\n");
}

// socat makes a pseudo-terminal and keeps its far end open itself, as it does when it
// brings a receiver on another computer (ser2net) to this one; here its other side is the
// simulator's line.
TEST_F(VoskelcfgTest, FindsTheSimulatorBehindASocatPseudoTerminal) {
  if (::access("/usr/bin/socat", X_OK) != 0) GTEST_SKIP() << "socat is not installed";
  TempDir remote{"voskelcfg-remote"};
  SimProgram sim(remote.Path().string());
  ASSERT_TRUE(sim.WaitForLink());
  const fs::path com1 = work.Path() / "com1";
  const std::string ours = "pty,link=" + com1.string() + ",raw,echo=0";
  const std::string theirs = "file:" + sim.Link() + ",raw,echo=0";
  const pid_t socat = ::fork();
  if (socat == 0) {
    ::execl("/usr/bin/socat", "socat", ours.c_str(), theirs.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + SimProgram::kStartLimit;
  while (!fs::is_symlink(com1) && std::chrono::steady_clock::now() < deadline)
    ::poll(nullptr, 0, 10);
  const Result r = Run({"--dir", work.Path().string(), "--find", "--port", "1"});
  ::kill(socat, SIGTERM);
  ::waitpid(socat, nullptr, 0);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("The receiver answered on /dev/pts/", 0), 0u) << r.out << r.err;
  EXPECT_EQ(Config(), "PORT1\r\nSPEED:19200\r\nFLOW:0\r\nVOICE:1\r\nDEBUG:0\r\n");
}

TEST_F(VoskelcfgTest, FindSkipsAHeldDeviceAndLinksTheAnsweringOneByItsStableName) {
  ReceiverLine held, receiver(B9600);
  ASSERT_TRUE(held.Ok() && receiver.Ok());
  lines = {&held, &receiver};
  const auto otherProgram = platform::SerialDevice::Open(held.Device(), 9600);
  ASSERT_TRUE(otherProgram);
  const fs::path heldDevice = Device("ttyUSB0", held.Device());
  const fs::path device = Device("ttyUSB1", receiver.Device());
  const fs::path stable =
      root.Path() / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
  fs::create_symlink("../../ttyUSB1", stable);

  const Result r = Run({"--dir", work.Path().string(), "--find", "--port", "2", "--voice", "0"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "The receiver answered on " + device.string() + " (" + stable.string() +
                       ") at 9600 baud.\n");
  EXPECT_NE(r.err.find(heldDevice.string() + ": held by "), std::string::npos) << r.err;
  EXPECT_EQ(held.Heard(), "") << "a held device is never touched";
  EXPECT_EQ(receiver.Heard(), "LM\rLM\r") << "the level query at 19200, then at 9600";
  EXPECT_EQ(fs::read_symlink(work.Path() / "com2"), stable);
  EXPECT_EQ(Config(), "PORT2\r\nSPEED:9600\r\nFLOW:0\r\nVOICE:0\r\nDEBUG:0\r\n");
}

TEST_F(VoskelcfgTest, FindReportsNothingWhenNoDeviceAnswers) {
  ReceiverLine silent;
  ASSERT_TRUE(silent.Ok());
  lines = {&silent};
  Device("ttyACM0", silent.Device());
  const Result r = Run({"--dir", work.Path().string(), "--find", "--port", "1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("No receiver answered."), std::string::npos) << r.out;
  EXPECT_EQ(silent.Heard(), "LM\rLM\rLM\r") << "only the level query, once at each speed";
  EXPECT_FALSE(fs::exists(work.Path() / "VOSKEL.CFG"));
  EXPECT_FALSE(fs::is_symlink(work.Path() / "com1"));
}

TEST_F(VoskelcfgTest, ListShowsEachDeviceWithWhatStandsInItsWay) {
  ReceiverLine held, refused, free;
  ASSERT_TRUE(held.Ok() && refused.Ok() && free.Ok());
  const auto otherProgram = platform::SerialDevice::Open(held.Device(), 9600);
  ASSERT_TRUE(otherProgram);
  // Root may open anything, so as root the list runs as nobody, who may open only these.
  const bool asNobody = ::geteuid() == 0;
  ASSERT_EQ(::chmod(held.Device().c_str(), 0666), 0);
  ASSERT_EQ(::chmod(free.Device().c_str(), 0666), 0);
  // Owned by root's group, the refused device is one no group lets a user into.
  ASSERT_EQ(::chmod(refused.Device().c_str(), asNobody ? 0660 : 0), 0);
  if (asNobody) {
    ASSERT_EQ(::chown(refused.Device().c_str(), 0, 0), 0);
  }
  for (const TempDir* dir : {&root, &work}) fs::permissions(dir->Path(), fs::perms(0755));
  const fs::path heldDevice = Device("ttyUSB0", held.Device());
  const fs::path refusedDevice = Device("ttyUSB1", refused.Device());
  std::ofstream(root.Path() / "dev/ttyS0");  // a port name without a UART behind it
  const fs::path uart = Device("ttyS1", free.Device());
  for (const auto& [name, type] : {std::pair{"ttyS0", "0"}, std::pair{"ttyS1", "4"}}) {
    fs::create_directories(root.Path() / "sys/class/tty" / name);
    std::ofstream(root.Path() / "sys/class/tty" / name / "type") << type << "\n";
  }
  fs::create_symlink(heldDevice, work.Path() / "com1");
  fs::create_directories(root.Path() / "var/lib/dpkg");
  std::ofstream(root.Path() / "var/lib/dpkg/status")
      << "Package: brltty\nStatus: install ok installed\nVersion: 6.5-7\n\n";

  const Result r = Run({"--list", "--dir", work.Path().string()}, asNobody);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::istringstream out(r.out);
  std::string line;
  std::vector<std::string> deviceLines;
  while (std::getline(out, line) && line.rfind(root.Path().string(), 0) == 0)
    deviceLines.push_back(line);
  ASSERT_EQ(deviceLines.size(), 3u) << r.out;
  EXPECT_EQ(deviceLines[0].rfind(heldDevice.string() + ": held by ", 0), 0u) << r.out;
  EXPECT_NE(deviceLines[0].find("; com1 points here"), std::string::npos) << r.out;
  EXPECT_EQ(deviceLines[1], refusedDevice.string() + ": permission denied");
  EXPECT_EQ(deviceLines[2], uart.string() + ": free");
  EXPECT_EQ(r.out.find("adduser"), std::string::npos) << "no group would let nobody in\n" << r.out;
  EXPECT_EQ(r.out.find("brltty"), std::string::npos) << "no adapter brltty takes\n" << r.out;

  // A CH340 adapter, which brltty takes for a braille display, without its serial device;
  // the refused device now belongs to the dialout group.
  const fs::path usb = root.Path() / "sys/bus/usb/devices/1-3";
  fs::create_directories(usb / "1-3:1.0");
  std::ofstream(usb / "idVendor") << "1a86\n";
  std::ofstream(usb / "idProduct") << "7523\n";
  const group* dialout = ::getgrnam("dialout");
  if (asNobody && dialout) {
    ASSERT_EQ(::chown(refused.Device().c_str(), 0, dialout->gr_gid), 0);
  }
  const Result again = Run({"--list", "--dir", work.Path().string()}, asNobody);
  if (asNobody && dialout) {
    EXPECT_NE(again.out.find("join the dialout group and log in again: sudo adduser $USER dialout"),
              std::string::npos)
        << again.out;
  }
  EXPECT_NE(again.out.find("brltty is installed"), std::string::npos) << again.out;
  EXPECT_NE(again.out.find("1a86:7523 (USB 1-3), now without a serial device"), std::string::npos)
      << again.out;
}

}  // namespace
}  // namespace voskel
