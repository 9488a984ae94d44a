// The line on stderr that tells a person at the terminal why the receiver's port did not
// open, through the real start-up and the real serial link.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/serial_device.h"
#include "support/panel_harness.h"

namespace voskel {
namespace {

using testing::HarnessOptions;
using testing::PanelHarness;

// What the panel writes to stderr while it begins its run.
std::string StderrOfBegin(PanelHarness& h) {
  const std::filesystem::path file = h.dir() / "stderr.txt";
  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  FILE* capture = std::fopen(file.c_str(), "w");
  if (saved < 0 || !capture) return "cannot capture stderr";
  ::dup2(::fileno(capture), STDERR_FILENO);
  h.Begin();
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  std::fclose(capture);
  std::ostringstream text;
  text << std::ifstream(file).rdbuf();
  return text.str();
}

TEST(PortFailure, StartUpNamesTheDeviceAndTheReasonOnStderr) {
  {
    PanelHarness unplugged(HarnessOptions{.connectPort = false});
    EXPECT_EQ(StderrOfBegin(unplugged), "voskel: port 1 (com1 -> " +
                                            (unplugged.dir() / "unplugged").string() +
                                            "): the device is missing\n");
  }
  {
    PanelHarness h;
    const std::filesystem::path device = std::filesystem::read_symlink(h.dir() / "com1");
    const auto otherProgram = platform::SerialDevice::Open(device, 9600);
    ASSERT_TRUE(otherProgram);
    EXPECT_EQ(StderrOfBegin(h),
              "voskel: port 1 (com1 -> " + device.string() + "): held by another program\n");
  }
  {
    PanelHarness free;
    EXPECT_EQ(StderrOfBegin(free), "") << "a port that opened is not reported";
  }
}

}  // namespace
}  // namespace voskel
