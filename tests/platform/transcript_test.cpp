#include "platform/transcript.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <string>

namespace voskel::platform {
namespace {

// A terminal nobody reads: the lines wait or drop, and the panel is never held up
// (before, a full terminal blocked the write, and this test hung).
TEST(StandardOutputTranscript, TerminalWhoseReaderStalledNeverHoldsThePanelUp) {
  int master = -1, terminal = -1;
  ASSERT_EQ(::openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
  {
    StandardOutputTranscript transcript(terminal);
    for (int i = 0; i < 2000; ++i) transcript.WriteLine(std::string(100, 'x'));
  }
  EXPECT_EQ(::fcntl(terminal, F_GETFL) & O_NONBLOCK, 0) << "the shell's output must stay blocking";
  ::close(terminal);
  ::close(master);
}

}  // namespace
}  // namespace voskel::platform
