#include "core/text.h"

#include <gtest/gtest.h>

namespace voskel {
namespace {

TEST(ReadNumber, ReadsTheLeadingNumberOnly) {
  EXPECT_DOUBLE_EQ(ReadNumber("145.5"), 145.5);
  EXPECT_DOUBLE_EQ(ReadNumber(" \t-12.25kHz"), -12.25);
  EXPECT_DOUBLE_EQ(ReadNumber(".5"), 0.5);
  EXPECT_DOUBLE_EQ(ReadNumber("145."), 145.0);
  EXPECT_DOUBLE_EQ(ReadNumber("12.5.3"), 12.5);
  EXPECT_DOUBLE_EQ(ReadNumber(""), 0);
  EXPECT_DOUBLE_EQ(ReadNumber("abc"), 0);
  EXPECT_DOUBLE_EQ(ReadNumber("- 5"), 0);
}

TEST(PanelText, NeverGrowsPastItsCapacity) {
  std::string text(250, 'a');
  AppendCapped(text, std::string(20, 'b'));
  EXPECT_EQ(text.size(), kMaxText);
  AppendCapped(text, "c");
  EXPECT_EQ(text.size(), kMaxText);
  EXPECT_EQ(Cap(std::string(300, 'x')).size(), kMaxText);
  EXPECT_EQ(SubFrom("LM", 5), "");
}

}  // namespace
}  // namespace voskel
