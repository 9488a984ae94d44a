// The real ar8600-sim program on a pseudo-terminal, and Hamlib's rigctl against it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/sim_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using voskel::testing::SimProgram;
using Clock = std::chrono::steady_clock;

// Bounds on waiting for the program; they stop a broken run, they time nothing.
constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr auto kReplyLimit = std::chrono::seconds(5);


int OpenRaw(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  termios settings{};
  ::tcgetattr(fd, &settings);
  ::cfmakeraw(&settings);
  settings.c_cflag |= CSTOPB | CLOCAL | CREAD;
  ::tcsetattr(fd, TCSANOW, &settings);
  return fd;
}

// Sends a command and collects bytes until `lines` line ends arrived or the bound passed.
std::string Exchange(int fd, const std::string& command, int lines = 1) {
  const std::string bytes = command + "\r";
  if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return "";
  std::string reply;
  const auto deadline = Clock::now() + kReplyLimit;
  auto count = [&reply] {
    int n = 0;
    for (std::size_t at = 0; (at = reply.find("\r\n", at)) != std::string::npos; at += 2) ++n;
    return n;
  };
  while (count() < lines && Clock::now() < deadline) {
    pollfd watch{fd, POLLIN, 0};
    if (::poll(&watch, 1, 50) > 0) {
      char buffer[512];
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) reply.append(buffer, static_cast<std::size_t>(n));
    }
  }
  return reply;
}

bool LooksLikeLevel(const std::string& reply) {
  return reply.size() == 8 && reply.substr(0, 2) == "LM" && (reply[2] == ' ' || reply[2] == '%') &&
         std::isdigit(static_cast<unsigned char>(reply[3])) && reply.substr(6) == "\r\n";
}

TEST(SimProgram, ServesThePortKeepsMemoryAndCleansUpOnSigterm) {
  voskel::testing::TempDir dir{"ar8600-sim-test"};
  ASSERT_FALSE(dir.Path().string().empty());
  {
    SimProgram sim(dir.Path().string());
    ASSERT_TRUE(sim.WaitForLink());
    int fd = OpenRaw(sim.Link());
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(LooksLikeLevel(Exchange(fd, "LM")));
    EXPECT_EQ(Exchange(fd, "MXC07 RF0145500000 ST012500 MD1 TMKEPT"), "\r\n");
    ::close(fd);

    // The port closed and opened again: still served, and nothing stale waits on it.
    fd = OpenRaw(sim.Link());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(Exchange(fd, "MRC07"),
              "MXC07 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TMKEPT        \r\n");
    ::close(fd);

    EXPECT_EQ(sim.Stop(), 0);
    struct stat info {};
    EXPECT_NE(::lstat(sim.Link().c_str(), &info), 0) << "link left behind";
  }
  std::ifstream memoryFile(dir.Path().string() + "/ar8600-sim-memory.txt");
  std::string text((std::istreambuf_iterator<char>(memoryFile)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("C07 145.500000 MHz"), std::string::npos) << text;

  // A restart reads the banks back and replaces the stale link it finds.
  ASSERT_EQ(::symlink("/nonexistent", (dir.Path().string() + "/com1").c_str()), 0);
  SimProgram again(dir.Path().string());
  const auto deadline = Clock::now() + kStartLimit;
  while (fs::read_symlink(again.Link()) == "/nonexistent" && Clock::now() < deadline) {
    ::poll(nullptr, 0, 10);
  }
  const int fd = OpenRaw(again.Link());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(Exchange(fd, "MRC07").substr(0, 22), "MXC07 MP0 RF0145500000");
  ::close(fd);
  EXPECT_EQ(again.Stop(), 0);
}

TEST(SimProgram, SigusrTwoPullsTheCableAndPlugsItBackIn) {
  voskel::testing::TempDir dir("sim-unplug");
  SimProgram sim(dir.Path().string());
  ASSERT_TRUE(sim.WaitForLink());
  const int before = OpenRaw(sim.Link());
  ASSERT_GE(before, 0);
  sim.Signal(SIGUSR2);
  ASSERT_TRUE(sim.WaitForLink(false));
  char byte;
  const ssize_t n = ::read(before, &byte, 1);
  EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << "the port that was open hangs up";
  ::close(before);
  sim.Signal(SIGUSR2);
  ASSERT_TRUE(sim.WaitForLink(true));
  const int after = OpenRaw(sim.Link());
  ASSERT_GE(after, 0);
  EXPECT_TRUE(LooksLikeLevel(Exchange(after, "LM")));
  ::close(after);
}

TEST(SimProgram, RefusesToReplaceARealFile) {
  voskel::testing::TempDir dir{"ar8600-sim-test"};
  ASSERT_FALSE(dir.Path().string().empty());
  std::ofstream(dir.Path().string() + "/com1") << "not a link";
  SimProgram sim(dir.Path().string());
  EXPECT_EQ(sim.WaitExit(), 1);
  std::ifstream kept(dir.Path().string() + "/com1");
  std::string text;
  std::getline(kept, text);
  EXPECT_EQ(text, "not a link");
}

TEST(SimProgram, HamlibRigctlTalksToIt) {
  if (::access("/usr/bin/rigctl", X_OK) != 0) GTEST_SKIP() << "rigctl not installed";
  voskel::testing::TempDir dir{"ar8600-sim-test"};
  ASSERT_FALSE(dir.Path().string().empty());
  SimProgram sim(dir.Path().string());
  ASSERT_TRUE(sim.WaitForLink());
  const std::string command = "timeout 30 /usr/bin/rigctl -m 5013 -r " + sim.Link() +
                              " -s 9600 F 145600000 f M AM 0 m l STRENGTH 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> lines;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) {
    std::string line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    lines.push_back(line);
  }
  EXPECT_EQ(::pclose(pipe), 0);
  // f prints the frequency; m the mode and passband; l STRENGTH a number.
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "145600000");
  EXPECT_EQ(lines[1], "AM");
  EXPECT_NO_THROW((void)std::stoi(lines[3]));
  EXPECT_EQ(sim.Stop(), 0);
}

}  // namespace
