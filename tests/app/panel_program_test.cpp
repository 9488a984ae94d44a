// The real panel program: its window as the desktop's tools see it on a real X server, and
// what it says on the terminal when there is no sound device.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sound_wav_writer.h"
#include "support/temp_dir.h"

extern char** environ;

namespace voskel {
namespace {

namespace fs = std::filesystem;

// Bounds a broken run; it times nothing.
constexpr auto kLimit = std::chrono::seconds(30);

bool Within(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kLimit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    ::poll(nullptr, 0, 10);
  }
  return true;
}

// A program started with extra environment, its stderr into a file, killed with the test.
class Program {
 public:
  Program(std::vector<std::string> argv, std::vector<std::string> env, const fs::path& dir,
          int keepFd = -1) {
    for (char** e = environ; *e; ++e) env.emplace_back(*e);  // the first entry wins
    std::vector<char*> args, envp;
    for (auto& a : argv) args.push_back(a.data());
    for (auto& e : env) envp.push_back(e.data());
    args.push_back(nullptr);
    envp.push_back(nullptr);
    err_ = dir / "stderr.txt";
    const int errFd = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = ::fork();
    if (pid_ == 0) {
      if (::chdir(dir.c_str()) != 0 || ::dup2(errFd, STDERR_FILENO) < 0) ::_exit(126);
      for (int fd = 3; fd < 256; ++fd)
        if (fd != keepFd) ::close(fd);
      ::execvpe(args[0], args.data(), envp.data());
      ::_exit(127);
    }
    ::close(errFd);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }

  // SIGTERM, the panel's close request; the exit code, -1 when it did not end in time.
  int Stop() {
    ::kill(pid_, SIGTERM);
    int status = 0;
    if (!Within([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Stderr() const { return testing::ReadWholeFile(err_); }

 private:
  pid_t pid_ = -1;
  fs::path err_;
};

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
  }
  return out;
}

class PanelProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(work.Path() / "VOSKEL.CFG")
        << "PORT9\r\nSPEED:9600\r\nFLOW:0\r\nVOICE:1\r\nDEBUG:0\r\n";
  }
  Program Panel(std::vector<std::string> env) {
    return Program({VOSKEL_PANEL_BINARY}, std::move(env), work.Path());
  }
  testing::TempDir work{"voskel-program"};
};

TEST_F(PanelProgram, DesktopToolsFindTheWindowByItsTitle) {
  if (std::system("which Xvfb xdotool xprop >/dev/null") != 0)
    GTEST_SKIP() << "needs Xvfb, xdotool and xprop";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  testing::TempDir xDir{"voskel-x"};
  // The server picks a free display and writes its number once it takes clients. It must
  // not reset when its last client leaves (SDL looks at the display once before it opens
  // it): a client that came meanwhile would be turned away.
  Program x({"Xvfb", "-displayfd", std::to_string(ready[1]), "-noreset", "-nolisten", "tcp",
             "-screen", "0", "1280x800x24"},
            {}, xDir.Path(), ready[1]);
  ::close(ready[1]);
  // Read to the line's end: the server writes the number and the line end apart, and gives
  // up when the pipe is closed between the two.
  std::string number;
  pollfd readable{ready[0], POLLIN, 0};
  for (char c = 0;
       !number.ends_with('\n') && ::poll(&readable, 1, 30000) == 1 && ::read(ready[0], &c, 1) == 1;)
    number += c;
  ::close(ready[0]);
  ASSERT_TRUE(number.ends_with('\n')) << x.Stderr();
  const std::string display = "DISPLAY=:" + std::to_string(std::atoi(number.c_str()));

  Program panel = Panel({display, "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"});
  const std::string window =
      Output(display + " timeout 30 xdotool search --sync --name 'Voskel Front Panel'");
  ASSERT_FALSE(window.empty()) << panel.Stderr() << x.Stderr();
  // ICCCM tools read a title stored as STRING or UTF8_STRING, not one in the locale's name.
  const std::string name =
      Output(display + " xprop -id " + window.substr(0, window.find('\n')) + " WM_NAME");
  EXPECT_TRUE(name.rfind("WM_NAME(STRING) = ", 0) == 0 ||
              name.rfind("WM_NAME(UTF8_STRING) = ", 0) == 0)
      << name;
  EXPECT_EQ(panel.Stop(), 0) << panel.Stderr();
}

TEST_F(PanelProgram, WithoutASoundDeviceItSaysSoInOneLineOfItsOwn) {
  Program panel = Panel({"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=alsa", "AUDIODEV=hw:99,0"});
  // The port's line comes after the greeting, which opened the sound.
  ASSERT_TRUE(Within([&] { return panel.Stderr().find("voskel: port 9") != std::string::npos; }))
      << panel.Stderr();
  EXPECT_EQ(panel.Stop(), 0);
  std::istringstream lines(panel.Stderr());
  std::vector<std::string> sound;
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("voskel: port 9", 0) != 0) sound.push_back(line);
  ASSERT_EQ(sound.size(), 1u) << panel.Stderr();
  EXPECT_EQ(sound[0].rfind("voskel: no sound device (", 0), 0u) << sound[0];
  EXPECT_TRUE(sound[0].ends_with("); the panel runs silently")) << sound[0];
}

// SIGTERM is obeyed whatever the panel is saying: here a greeting a minute long, on a
// machine without a sound device, where clips still take their time.
TEST_F(PanelProgram, SigtermWhileAClipPlaysEndsThePanelWithItsStateStored) {
  fs::create_directories(work.Path() / "wave");
  testing::WriteWav(work.Path() / "wave" / "vsk.wav", 60000);
  Program panel = Panel({"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=alsa", "AUDIODEV=hw:99,0"});
  // Said as the first clip starts.
  ASSERT_TRUE(Within([&] { return panel.Stderr().find("no sound device") != std::string::npos; }))
      << panel.Stderr();
  EXPECT_EQ(panel.Stop(), 0) << panel.Stderr();
  EXPECT_EQ(testing::ReadWholeFile(work.Path() / "bank00.dat").rfind("*** Voskel", 0), 0u);
}

}  // namespace
}  // namespace voskel
