#include "panel/pen.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"
#include "support/fake_speech.h"
#include "support/recording_sound.h"
#include "support/recording_window.h"
#include "link/serial_link.h"

namespace voskel {
namespace {

using testing::RecordingWindow;

class PenTest : public ::testing::Test {
 protected:
  PenTest() : ports("/nonexistent"), panel(window, sound, speech, ports, clock, "/nonexistent") {
    OpenPanel(panel);
  }
  RecordingWindow window;
  testing::FakeClock clock;
  testing::RecordingSound sound;
  testing::FakeSpeech speech;
  SerialLink ports;
  Panel panel;
};

TEST_F(PenTest, LineEndAloneDrawsNothingAndLeavesThePen) {
  MoveTo(panel, 40, 50);
  PrintAt(panel, "\r\n");
  PrintAt(panel, "\n");
  EXPECT_TRUE(window.prints.empty());
  EXPECT_EQ(panel.pen.x, 40);
  EXPECT_EQ(panel.pen.y, 50);
}

TEST_F(PenTest, PrintsContinueTheLine) {
  SetFont(panel, "Ariel", 30, 700);
  SetColour(panel, platform::kGreen);
  MoveTo(panel, 20, 400);
  PrintAt(panel, "Found", "\r\n");
  PrintAt(panel, 12, "\r\n");
  ASSERT_EQ(window.prints.size(), 2u);
  EXPECT_EQ(window.prints[0].text, "Found");
  EXPECT_EQ(window.prints[1].text, "12 ") << "an integer item is written as %d and a space";
  EXPECT_EQ(window.prints[1].x, 20 + 5 * RecordingWindow::CellWidth(window.prints[0].font));
  EXPECT_EQ(window.prints[1].y, 400);
  EXPECT_EQ(window.prints[1].colour, platform::kGreen);
  EXPECT_EQ(window.LineAt(400), "Found12");
}

TEST_F(PenTest, OnlyAFinalLineEndIsRemoved) {
  PrintAt(panel, "TX=VA\r\n RX=\r\n");
  ASSERT_EQ(window.prints.size(), 1u);
  EXPECT_EQ(window.prints[0].text, "TX=VA\r\n RX=");
  PrintAt(panel, "a\r");
  EXPECT_EQ(window.prints[1].text, "a\r") << "a lone CR is no line end";
}

TEST_F(PenTest, FontFaceIsPassedOnAsAsked) {
  SetFont(panel, "Aerial", 30, 700);
  PrintAt(panel, "x");
  EXPECT_EQ(window.prints[0].font, (platform::Font{"Aerial", 30, 700}));
  SetFont(panel, std::string(40, 'F'), 10, 400);
  EXPECT_EQ(panel.pen.font.face.size(), 31u);
}

TEST_F(PenTest, NothingIsDrawnAfterTheWindowIsClosed) {
  ClosePanel(panel);
  PrintAt(panel, "late");
  EXPECT_TRUE(window.prints.empty());
}

}  // namespace
}  // namespace voskel
