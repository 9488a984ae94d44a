#include "app/config_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/temp_dir.h"

namespace voskel {
namespace {

PanelState Read(const std::string& text) {
  PanelState state;
  std::istringstream in(text);
  ReadConfigLines(in, state);
  return state;
}

TEST(ConfigFile, EveryLineEndReadsAlike) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const std::string e = end;
    const PanelState s = Read("PORT3" + e + "SPEED:9600" + e + "FLOW:" + e + "VOICE:1" + e +
                              "DEBUG:1" + e);
    EXPECT_EQ(s.PortText, "3") << "line end " << int(e.back());
    EXPECT_EQ(s.SpeedText, "9600");
    EXPECT_EQ(s.VoiceSwitch, 1);
    EXPECT_EQ(s.DebugSwitch, 1);
    EXPECT_EQ(PortNumberOf(s.PortText), 3);
    EXPECT_EQ(BaudRateOf(s.SpeedText), 9600);
  }
}

TEST(ConfigFile, MissingLinesReadAsEmpty) {
  const PanelState s = Read("PORT\r\nSPEED:\r\nFLOW:\r\n");
  EXPECT_EQ(PortNumberOf(s.PortText), 0);
  EXPECT_EQ(BaudRateOf(s.SpeedText), 0);
  EXPECT_EQ(s.VoiceSwitch, 0);
  EXPECT_EQ(s.DebugSwitch, 0);
}

TEST(ConfigFile, ValuesComeFromTheirPositions) {
  const PanelState s = Read("PORT12\nSPEED:9600.6\nFLOW:x\nVOICE:x\nDEBUG:2\n");
  EXPECT_EQ(PortNumberOf(s.PortText), 2) << "only the last digit of the port counts";
  EXPECT_EQ(BaudRateOf(s.SpeedText), 9601) << "the speed is rounded";
  EXPECT_EQ(s.VoiceSwitch, 0) << "a switch that is not a digit is off";
  EXPECT_EQ(s.DebugSwitch, 2) << "any digit is kept; only 1 turns the log on";
  EXPECT_EQ(PortNumberOf("COM"), 0);
  EXPECT_EQ(BaudRateOf("  19200 baud"), 19200);
  EXPECT_EQ(BaudRateOf("99999999999999"), 0);
}

TEST(ConfigFile, OverlongLineIsCutAndTheNextLineStillRead) {
  const std::string longPort = "PORT" + std::string(296, '7');
  const PanelState s = Read(longPort + "\r\nSPEED:4800\r\nFLOW:\r\nVOICE:1\r\nDEBUG:0\r\n");
  EXPECT_EQ(s.PortText.size(), 251u);
  EXPECT_EQ(s.SpeedText, "4800");
  EXPECT_EQ(s.VoiceSwitch, 1);
}

TEST(ConfigFile, MissingFileOrAFolderInItsPlaceIsReported) {
  PanelState s;
  EXPECT_FALSE(ReadConfigFile("/nonexistent/VOSKEL.CFG", s));
  testing::TempDir dir("voskel-cfg");
  std::filesystem::create_directory(dir.Path() / "VOSKEL.CFG");
  EXPECT_FALSE(ReadConfigFile(dir.Path() / "VOSKEL.CFG", s));
}

}  // namespace
}  // namespace voskel
