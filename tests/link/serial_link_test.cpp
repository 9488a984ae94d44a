#include "link/serial_link.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "link/pty_pair.h"

namespace voskel {
namespace {

using testing::PtyPair;
using testing::TempDir;

class LinkSerialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_FALSE(dir.Path().empty());
    std::filesystem::create_symlink(pty.SlavePath(), dir.Path() / "com1");
  }

  termios Line() const {
    termios line{};
    EXPECT_EQ(::tcgetattr(pty.Slave(), &line), 0);
    return line;
  }

  PtyPair pty;
  TempDir dir;
  SerialLink link{dir.Path()};
};

TEST_F(LinkSerialTest, OpensRawAtTheSpeedAndTakesTheStopBits) {
  ASSERT_EQ(link.OpenPort(1, 9600), 1);
  termios line = Line();
  EXPECT_EQ(::cfgetospeed(&line), B9600);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO), 0u);  // a CR is a byte, not an end of line
  EXPECT_EQ(line.c_oflag & OPOST, 0u);

  struct Case {
    int stopBitsCode;
    bool twoStopBits;
  };
  for (const Case c : {Case{2, true}, Case{1, false}, Case{0, true}}) {
    EXPECT_EQ(link.SetPortFormat(1, 8, 0, c.stopBitsCode), 0);
    line = Line();
    EXPECT_EQ((line.c_cflag & CSTOPB) != 0, c.twoStopBits) << "code " << c.stopBitsCode;
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & PARENB, 0u);
    EXPECT_EQ(::cfgetospeed(&line), B9600);
  }
}

TEST_F(LinkSerialTest, RefusedFormatsAnswerOneAndLeaveTheLineAsItWas) {
  ASSERT_EQ(link.OpenPort(1, 9600), 1);
  ASSERT_EQ(link.SetPortFormat(1, 8, 0, 2), 0);
  // A pseudo-terminal carries no parity: the driver drops it, and that counts as refused.
  EXPECT_EQ(link.SetPortFormat(1, 8, 2, 2), 1);
  EXPECT_EQ(link.SetPortFormat(1, 9, 0, 2), 1);
  EXPECT_EQ(link.SetPortFormat(1, 8, 7, 2), 1);
  const termios line = Line();
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8 | CSTOPB));
  EXPECT_TRUE(link.IsOpen(1));  // refused settings are no hang-up
}

TEST_F(LinkSerialTest, FailedOpensLeaveNothingOpenAndCreateNothing) {
  EXPECT_EQ(link.OpenPort(1, 12345), 0);  // no termios speed
  EXPECT_EQ(link.OpenPort(1, 0), 0);
  EXPECT_FALSE(link.IsOpen(1));
  SerialLink other(dir.Path());
  EXPECT_EQ(other.OpenPort(1, 9600), 1) << "a failed open kept the device";

  const std::filesystem::path missing = dir.Path() / "gone";
  std::filesystem::create_symlink(missing, dir.Path() / "com2");
  EXPECT_EQ(link.OpenPort(2, 9600), 0);
  EXPECT_FALSE(std::filesystem::exists(missing));

  std::FILE* plain = std::fopen((dir.Path() / "com3").c_str(), "w");  // not a tty
  ASSERT_NE(plain, nullptr);
  std::fclose(plain);
  EXPECT_EQ(link.OpenPort(3, 9600), 0);
  EXPECT_FALSE(link.IsOpen(3));
}

TEST_F(LinkSerialTest, PortNumbersMapToComLinksElseTtyS) {
  EXPECT_EQ(link.DevicePath(1), dir.Path() / "com1");
  EXPECT_EQ(link.DevicePath(4), "/dev/ttyS3");
  EXPECT_EQ(link.DevicePath(256), "/dev/ttyS255");
  EXPECT_TRUE(link.DevicePath(0).empty());
  EXPECT_TRUE(link.DevicePath(257).empty());
}

TEST_F(LinkSerialTest, ASecondProgramIsRefusedWhileTheFirstKeepsWorking) {
  ASSERT_EQ(link.OpenPort(1, 9600), 1);
  SerialLink second(dir.Path());
  EXPECT_EQ(second.OpenPort(1, 9600), 0);
  EXPECT_EQ(second.OpenPort(1, 19200), 0);

  EXPECT_EQ(link.WriteBytes(1, "LM\r", 3), 3);
  EXPECT_EQ(pty.Receive(3), "LM\r");
  ASSERT_TRUE(pty.Send("LM%123\r"));
  EXPECT_EQ(link.BytesWaiting(1), 7);
  char buffer[16] = {};
  EXPECT_EQ(link.ReadBytes(1, buffer, sizeof buffer), 7);
  EXPECT_EQ(std::string(buffer, 7), "LM%123\r");
  const termios line = Line();
  EXPECT_EQ(::cfgetospeed(&line), B9600) << "the refused opener changed the line";

  link.ClosePort(1);
  EXPECT_EQ(second.OpenPort(1, 9600), 1) << "closing did not release the device";
}

TEST_F(LinkSerialTest, ReadsNeverWaitAndTakeAtMostTheCount) {
  ASSERT_EQ(link.OpenPort(1, 9600), 1);
  char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(link.BytesWaiting(1), 0);
  EXPECT_EQ(link.ReadBytes(1, buffer, sizeof buffer), 0);
  ASSERT_TRUE(pty.Send("abcdef"));
  EXPECT_EQ(link.ReadBytes(1, buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 5), "abcdx");  // no terminator added
  EXPECT_EQ(link.BytesWaiting(1), 2);
  EXPECT_EQ(link.ReadBytes(1, buffer, 0), 0);
  EXPECT_EQ(link.ReadBytes(1, buffer, -3), 0);
  EXPECT_EQ(link.ReadBytes(1, buffer, sizeof buffer), 2);
  EXPECT_EQ(link.ReadBytes(1, buffer, sizeof buffer), 0);
}

TEST_F(LinkSerialTest, PortsOutOfRangeNeverOpenedOrClosedAreNoOps) {
  ASSERT_EQ(link.OpenPort(1, 9600), 1);
  link.ClosePort(1);
  link.ClosePort(1);
  char buffer[4] = {'x', 'x', 'x', 'x'};
  for (int n : {0, 257, -1, 5, 1}) {
    SCOPED_TRACE(n);
    if (n != 1) {
      EXPECT_EQ(link.OpenPort(n, 9600), 0);
    }
    EXPECT_EQ(link.SetPortFormat(n, 8, 0, 2), 0);
    link.SetReadMode(n, -1);
    EXPECT_EQ(link.BytesWaiting(n), 0);
    EXPECT_EQ(link.ReadBytes(n, buffer, sizeof buffer), 0);
    EXPECT_EQ(link.WriteBytes(n, "LM\r", 3), 0);
    link.ClosePort(n);
  }
  EXPECT_EQ(std::string(buffer, 4), "xxxx");
  EXPECT_EQ(pty.ReadAll(), "");
}

TEST_F(LinkSerialTest, AHangUpEmptiesTheEntry) {
  ASSERT_EQ(link.OpenPort(1, 9600), 1);
  ASSERT_TRUE(pty.Send("LM"));
  pty.CloseMaster();
  char buffer[4] = {};
  EXPECT_EQ(link.ReadBytes(1, buffer, sizeof buffer), 0);
  EXPECT_EQ(link.BytesWaiting(1), 0);
  EXPECT_FALSE(link.IsOpen(1));
  EXPECT_EQ(link.WriteBytes(1, "LM\r", 3), 0);
  EXPECT_EQ(link.SetPortFormat(1, 8, 0, 2), 0);
}

TEST_F(LinkSerialTest, ALinkLeftToAPseudoTerminalThatHungUpWaitsToBeMadeAgain) {
  ASSERT_EQ(link.OpenPort(1, 9600), 1);
  pty.CloseMaster();
  link.ClosePort(1);
  // The terminal's number may belong to another program by now.
  EXPECT_EQ(link.OpenPort(1, 9600), 0);
  EXPECT_NE(link.WhyNotOpen(1).find("waiting for com1 to be made again"), std::string::npos)
      << link.WhyNotOpen(1);
  PtyPair again;
  std::filesystem::remove(dir.Path() / "com1");
  std::filesystem::create_symlink(again.SlavePath(), dir.Path() / "com1");
  EXPECT_EQ(link.OpenPort(1, 9600), 1);
}

TEST_F(LinkSerialTest, AStalledLineDropsTheRestOfAWrite) {
  ASSERT_EQ(link.OpenPort(1, 9600), 1);
  // The other end never reads: the kernel's buffers fill and the write must give up.
  const std::vector<char> bytes(1 << 20, 'A');
  const int written = link.WriteBytes(1, bytes.data(), static_cast<int>(bytes.size()));
  EXPECT_GT(written, 0);
  EXPECT_LT(written, static_cast<int>(bytes.size()));
  EXPECT_TRUE(link.IsOpen(1)) << "a stall is not a hang-up";

  // Until the receiver speaks again a write takes what fits and goes on: the line's whole
  // budget (a second) would otherwise be spent again on every command.
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(link.WriteBytes(1, "LM\r", 3), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
  ASSERT_TRUE(pty.Send("LM 050\r\n"));
  char reply[16] = {};
  ASSERT_GT(link.ReadBytes(1, reply, sizeof reply), 0);
  while (::read(pty.Master(), reply, sizeof reply) > 0) {
  }
  EXPECT_EQ(link.WriteBytes(1, "LM\r", 3), 3) << "a line that talks again is written whole";
}

}  // namespace
}  // namespace voskel
