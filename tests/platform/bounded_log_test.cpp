// A log of whole lines that never grows past its limit, written by a process that is killed
// while it appends, as the panel may be at any moment of a night's log.
#include "platform/bounded_log.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/temp_dir.h"

namespace voskel::platform {
namespace {

std::string Line(int number) {
  return "line " + std::to_string(number) + " " + std::string(number % 50, 'x') + "\r\n";
}

TEST(BoundedLog, AWriterKilledWhileAppendingLeavesWholeLinesInOrderWithinTheLimit) {
  testing::TempDir dir("bounded-log");
  const BoundedLog log{dir.Path() / "a.csv", dir.Path() / "a.1.csv", "HEAD\r\n", 2000};
  int progress[2];
  ASSERT_EQ(::pipe(progress), 0);
  const pid_t writer = ::fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    for (int n = 0;; ++n) {
      if (!AppendLine(log, Line(n))) ::_exit(1);
      const char done = 0;
      if (::write(progress[1], &done, 1) != 1) ::_exit(1);
    }
  }
  ::close(progress[1]);
  // Round the limit many times, then kill it wherever it stands.
  char done = 0;
  for (int n = 0; n < 400; ++n) ASSERT_EQ(::read(progress[0], &done, 1), 1);
  ::kill(writer, SIGKILL);
  int status = 0;
  ::waitpid(writer, &status, 0);
  ::close(progress[0]);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed before it was killed";

  // The older file, then the newer: headed, bounded, and every line the one after the last.
  // A kill just after the older file was moved aside leaves the newer one empty or missing.
  const std::string older = testing::ReadWholeFile(log.oldPath);
  const std::string newer = testing::ReadWholeFile(log.path);
  ASSERT_FALSE(older.empty());
  int expected = -1;
  for (const std::string& file : {older, newer}) {
    if (file.empty()) continue;
    EXPECT_LE(file.size(), 2000u);
    ASSERT_TRUE(file.starts_with("HEAD\r\n")) << file;
    std::size_t at = 6;
    if (expected < 0) expected = std::stoi(file.substr(at + 5));
    for (; at < file.size(); at += Line(expected++).size())
      ASSERT_EQ(file.substr(at, Line(expected).size()), Line(expected)) << file;
  }
  EXPECT_GE(expected, 400);
}

}  // namespace
}  // namespace voskel::platform
