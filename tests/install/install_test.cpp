// The installed Voskel as a listener gets it: `cmake --install` into a temporary prefix,
// the launcher run with its data in a temporary XDG_DATA_HOME and the window on SDL's
// offscreen driver; and the Debian package as dpkg-deb reads it.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "voice/clip_catalogue.h"

extern char** environ;

namespace voskel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// Bounds a broken run; it times nothing. A first run makes the clips, which takes seconds.
constexpr auto kLimit = std::chrono::seconds(60);

// A program in a process group of its own, its stdout and stderr into a file.
class Program {
 public:
  Program(const std::vector<std::string>& argv, fs::path output,
          const std::vector<std::string>& setEnv = {})
      : output_(std::move(output)) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
      const std::string text = *entry;
      // The build tree's programs, which scripts/run names, must not stand in for the
      // installed ones.
      if (text.rfind("VOSKEL_", 0) != 0) env.push_back(text);
    }
    env.insert(env.end(), setEnv.begin(), setEnv.end());  // later entries win in getenv
    std::vector<char*> args, envp;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    for (auto& entry : env) envp.push_back(entry.data());
    args.push_back(nullptr);
    envp.push_back(nullptr);
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setpgid(0, 0);
      FILE* out = std::fopen(output_.c_str(), "w");
      if (out) {
        ::dup2(::fileno(out), STDOUT_FILENO);
        ::dup2(::fileno(out), STDERR_FILENO);
      }
      ::execvpe(args[0], args.data(), envp.data());
      ::_exit(127);
    }
    if (pid_ > 0) {
      ::setpgid(pid_, pid_);  // also here: the group must exist before the first kill
      group_ = pid_;
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  // Whatever it left behind in its process group goes with it.
  ~Program() {
    if (group_ > 0) ::kill(-group_, SIGKILL);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  }

  void Signal(int number) const {
    if (pid_ > 0) ::kill(pid_, number);
  }

  // The exit code; -1 when it was killed, or still ran at the limit.
  int WaitExit() {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      ::poll(nullptr, 0, 20);
    }
    return -1;
  }

  // Polls the condition until it holds; false at the limit or once the program ended.
  bool WaitUntil(const std::function<bool()>& condition) const {
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    while (std::chrono::steady_clock::now() < deadline) {
      if (condition()) return true;
      siginfo_t ended{};
      ::waitid(P_PID, pid_, &ended, WEXITED | WNOHANG | WNOWAIT);
      if (ended.si_pid != 0) return condition();
      ::poll(nullptr, 0, 20);
    }
    return false;
  }

  std::string Output() const { return testing::ReadWholeFile(output_); }

 private:
  fs::path output_;
  pid_t pid_ = -1;
  pid_t group_ = -1;
};

struct Result {
  int exitCode;
  std::string output;
};

Result RunToEnd(const std::vector<std::string>& argv, const fs::path& scratch) {
  Program program(argv, scratch / "output.txt");
  const int code = program.WaitExit();
  return {code, program.Output()};
}

// The programs (their files) running with their working directory in dir.
std::vector<fs::path> ProgramsIn(const fs::path& dir) {
  std::vector<fs::path> found;
  std::error_code error;
  const fs::path wanted = fs::weakly_canonical(dir, error);
  for (const auto& process : fs::directory_iterator("/proc", error)) {
    if (fs::read_symlink(process.path() / "cwd", error) != wanted || error) continue;
    const fs::path exe = fs::read_symlink(process.path() / "exe", error);
    if (!error) found.push_back(exe);
  }
  return found;
}

bool Runs(const fs::path& dir, const fs::path& program) {
  const auto programs = ProgramsIn(dir);
  return std::find(programs.begin(), programs.end(), fs::weakly_canonical(program)) !=
         programs.end();
}

// Whether a process running `program` in dir has the device behind `link` open.
bool HoldsDevice(const fs::path& dir, const fs::path& program, const fs::path& link) {
  std::error_code error;
  const fs::path device = fs::read_symlink(link, error);
  if (error) return false;
  const fs::path wantedDir = fs::weakly_canonical(dir, error);
  const fs::path wantedProgram = fs::weakly_canonical(program, error);
  for (const auto& process : fs::directory_iterator("/proc", error)) {
    if (fs::read_symlink(process.path() / "cwd", error) != wantedDir ||
        fs::read_symlink(process.path() / "exe", error) != wantedProgram)
      continue;
    for (const auto& fd : fs::directory_iterator(process.path() / "fd", error)) {
      if (fs::read_symlink(fd.path(), error) == device) return true;
    }
  }
  return false;
}

class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef VOSKEL_SANITIZED
    // The launcher and the packaging are shell and CMake, which the sanitizers do not see;
    // a package of sanitized programs would depend on the sanitizer runtimes. The
    // programs' own code is run under the sanitizers by the other tests.
    GTEST_SKIP() << "not in the sanitizer build";
#endif
  }
  TempDir scratch_{"voskel-install"};
};

TEST_F(Installed, LauncherSetsUpItsDirectoryTalksToTheSimulatorAndEndsBoth) {
  const fs::path prefix = scratch_.Path() / "prefix";
  const Result install = RunToEnd(
      {VOSKEL_CMAKE_COMMAND, "--install", VOSKEL_BUILD_DIR, "--prefix", prefix}, scratch_.Path());
  ASSERT_EQ(install.exitCode, 0) << install.output;
  const fs::path panel = prefix / "libexec/voskel/voskel";
  const fs::path sim = prefix / "bin/ar8600-sim";
  const fs::path work = scratch_.Path() / "data/voskel";
  const std::vector<std::string> display{"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};
  auto withData = [&](const fs::path& data) {
    auto env = display;
    env.push_back("XDG_DATA_HOME=" + data.string());
    return env;
  };

  {
    Program first({prefix / "bin/voskel"}, scratch_.Path() / "first.txt",
                  withData(scratch_.Path() / "data"));
    ASSERT_TRUE(first.WaitUntil([&] { return HoldsDevice(work, panel, work / "com9"); }))
        << "the installed panel has the simulator's line open\n"
        << first.Output();
    EXPECT_TRUE(Runs(work, sim));
    EXPECT_EQ(testing::ReadWholeFile(work / "VOSKEL.CFG"),
              "PORT9\r\nSPEED:9600\r\nFLOW:0\r\nVOICE:1\r\nDEBUG:0\r\n");
    const ClipTable table = ParseClipTable(testing::ReadWholeFile(prefix / "share/voskel/voice-clips.txt"));
    ASSERT_GT(table.clips.size(), 50u);
    for (const ClipEntry& clip : table.clips)
      EXPECT_GT(testing::ReadWholeFile(work / "wave" / (clip.name + ".wav")).size(), 44u) << clip.name;

    first.Signal(SIGTERM);
    EXPECT_EQ(first.WaitExit(), 0) << first.Output();
    EXPECT_TRUE(ProgramsIn(work).empty());
    EXPECT_FALSE(fs::exists(fs::symlink_status(work / "com9"))) << "the simulator was stopped";
    EXPECT_NE(testing::ReadWholeFile(work / "bank00.dat").find("\r\nFM\r\n145.0\r\n"), std::string::npos)
        << "the panel stored its state on the close request";
  }

  // Second run: DIR named, the debug log on, so the simulator's replies can be read.
  const Result debug =
      RunToEnd({prefix / "bin/voskelcfg", "--dir", work, "--debug", "1"}, scratch_.Path());
  ASSERT_EQ(debug.exitCode, 0) << debug.output;
  const auto clipTime = fs::last_write_time(work / "wave/ok.wav");
  {
    Program second({prefix / "bin/voskel", work}, scratch_.Path() / "second.txt",
                   withData(scratch_.Path() / "unused"));
    EXPECT_TRUE(second.WaitUntil([&] {
      return testing::ReadWholeFile(work / "debug1.dat").find("\r\nRX= LM") != std::string::npos;
    })) << second.Output();
    second.Signal(SIGINT);
    EXPECT_EQ(second.WaitExit(), 0) << second.Output();
    EXPECT_TRUE(ProgramsIn(work).empty());
  }
  EXPECT_EQ(fs::last_write_time(work / "wave/ok.wav"), clipTime) << "clips are made once";
  EXPECT_FALSE(fs::exists(scratch_.Path() / "unused"));
}

// The package names of a Depends field, without versions.
std::set<std::string> PackageNames(const std::string& depends) {
  std::set<std::string> names;
  const std::regex name(R"((^|[,|])\s*([a-z0-9][a-z0-9.+-]*))");
  for (auto it = std::sregex_iterator(depends.begin(), depends.end(), name);
       it != std::sregex_iterator(); ++it)
    names.insert((*it)[2]);
  return names;
}

TEST_F(Installed, PackageHoldsTheProgramsAndDependsOnWhatTheyRun) {
  const fs::path out = scratch_.Path() / "package";
  const Result cpack = RunToEnd({VOSKEL_CPACK_COMMAND, "--config",
                                 fs::path(VOSKEL_BUILD_DIR) / "CPackConfig.cmake", "-B", out},
                                scratch_.Path());
  ASSERT_EQ(cpack.exitCode, 0) << cpack.output;
  std::vector<fs::path> debs;
  for (const auto& file : fs::directory_iterator(out))
    if (file.path().extension() == ".deb") debs.push_back(file.path());
  ASSERT_EQ(debs.size(), 1u);
  EXPECT_EQ(debs[0].filename().string().rfind("voskel_", 0), 0u);

  const Result contents = RunToEnd({"dpkg-deb", "-c", debs[0]}, scratch_.Path());
  ASSERT_EQ(contents.exitCode, 0) << contents.output;
  for (const char* program : {"bin/voskel", "bin/ar8600-sim", "bin/voskelcfg", "bin/voskelbank",
                              "libexec/voskel/voskel", "share/voskel/make-voice-clips"}) {
    EXPECT_TRUE(std::regex_search(
        contents.output,
        std::regex(std::string(R"((^|\n)-rwxr-xr-x [^\n]* \./usr/)") + program + "\n")))
        << program << " is an executable file\n"
        << contents.output;
  }
  for (const char* file : {"share/voskel/voice-clips.txt", "share/doc/voskel/copyright",
                           "share/doc/voskel/changelog.Debian.gz", "share/man/man1/voskel.1.gz",
                           "share/man/man1/ar8600-sim.1.gz", "share/man/man1/voskelcfg.1.gz",
                           "share/man/man1/voskelbank.1.gz", "share/doc/voskel/README.md",
                           "share/doc/voskel/docs/simulator.md", "share/applications/voskel.desktop",
                           "share/icons/hicolor/scalable/apps/voskel.svg"}) {
    EXPECT_NE(contents.output.find(std::string(" ./usr/") + file + "\n"), std::string::npos)
        << file;
  }

  const Result fields =
      RunToEnd({"dpkg-deb", "-f", debs[0], "Package", "Depends"}, scratch_.Path());
  ASSERT_EQ(fields.exitCode, 0) << fields.output;
  EXPECT_NE(fields.output.find("Package: voskel\n"), std::string::npos) << fields.output;
  const std::set<std::string> depends =
      PackageNames(fields.output.substr(fields.output.find("Depends:") + 8));
  for (const char* needed : {"libsdl2-2.0-0", "libsdl2-ttf-2.0-0", "libfontconfig1",
                             "libespeak-ng1", "libbrlapi0.8", "fonts-dejavu-core", "espeak-ng",
                             "sox"})
    EXPECT_TRUE(depends.count(needed)) << needed << " in " << fields.output;

  // Debian's own checks: no error, no warning, and none of the hardening notes (which
  // lintian counts as mere information).
  if (::access("/usr/bin/lintian", X_OK) != 0) return;
  const Result lint = RunToEnd({"lintian", "--display-info", "--fail-on", "error,warning", debs[0]},
                               scratch_.Path());
  EXPECT_EQ(lint.exitCode, 0) << lint.output;
  EXPECT_EQ(lint.output.find("hardening-"), std::string::npos) << lint.output;
  EXPECT_EQ(lint.output.find("documentation"), std::string::npos) << lint.output;
}

}  // namespace
}  // namespace voskel
