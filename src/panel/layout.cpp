#include "panel/layout.h"

#include <cstddef>
#include <iterator>
#include <string_view>

#include "panel/pen.h"

namespace voskel {
namespace {

std::string_view FaceName(Face face) {
  switch (face) {
    case Face::kAriel:
      return "Ariel";
    case Face::kAerial:
      return "Aerial";
    case Face::kArielCapitals:
      return "ARIEL";
  }
  return "Ariel";
}

constexpr TextFont kTiny{Face::kArielCapitals, 10, 700};
constexpr TextFont kLarge{Face::kAriel, 50, 700};
constexpr TextFont kHuge{Face::kAriel, 70, 700};
constexpr std::optional<platform::Colour> kPenColour;
constexpr std::optional<TextFont> kPenFont;

struct LayoutRow {
  ScreenLine line;
  LineLayout layout;
};

constexpr LayoutRow kLayout[] = {
    {ScreenLine::kLog, {0, 0, kTiny, platform::kBlack}},
    {ScreenLine::kStartUp, {0, 0, kLarge, kPenColour}},
    {ScreenLine::kTitle, {270, 0, kPenFont, kPenColour}},
    {ScreenLine::kConfigMissing, {0, 30, kPenFont, kPenColour}},
    {ScreenLine::kConfigMissingHint, {0, 60, kPenFont, kPenColour}},
    {ScreenLine::kMeter, {320, 30, kSmallFont, platform::kGreen}},
    {ScreenLine::kMode, {380, 80, kLarge, platform::kBlack}},
    {ScreenLine::kSelectedBankNumber, {20, 90, kSmallFont, platform::kBlack}},
    {ScreenLine::kSelectedBankName, {20, 130, kSmallFont, platform::kBlack}},
    {ScreenLine::kFrequencyBlank, {300, 150, kLarge, kPenColour}},
    {ScreenLine::kFrequency, {300, 150, kLarge, platform::kBlue}},
    {ScreenLine::kSearchLow, {80, 250, kSmallFont, platform::kBlack}},
    {ScreenLine::kSearchStep, {300, 250, kSmallFont, platform::kBlack}},
    {ScreenLine::kSearchStopMode, {500, 250, kSmallFont, platform::kBlack}},
    {ScreenLine::kSearchHigh, {750, 250, kSmallFont, platform::kBlack}},
    {ScreenLine::kScanStatus, {270, 320, kSmallFont, platform::kRed}},
    {ScreenLine::kSearchStatus, {270, 320, kSmallFont, platform::kGreen}},
    {ScreenLine::kSearchStartStatus, {290, 320, kSmallFont, platform::kGreen}},
    {ScreenLine::kChannelTag, {300, 370, kSmallFont, platform::kGreen}},
    {ScreenLine::kChannelNote, {340, 370, kSmallFont, platform::kGreen}},
    {ScreenLine::kSearchLimits, {340, 370, kLarge, platform::kBlack}},
    {ScreenLine::kKeyStart, {340, 370, kLarge, kPenColour}},
    {ScreenLine::kFoundCount, {20, 400, kSmallFont, platform::kRed}},
    {ScreenLine::kLowerBlank1, {150, 300, kHuge, kPenColour}},
    {ScreenLine::kLowerBlank2, {0, 350, kHuge, kPenColour}},
    {ScreenLine::kLowerBlank3, {300, 400, kHuge, kPenColour}},
    {ScreenLine::kLowerBlank4, {300, 450, kHuge, kPenColour}},
};

constexpr bool OneRowPerLineInOrder() {
  for (std::size_t i = 0; i < std::size(kLayout); ++i)
    if (kLayout[i].line != static_cast<ScreenLine>(i)) return false;
  return std::size(kLayout) == static_cast<std::size_t>(ScreenLine::kLowerBlank4) + 1;
}
static_assert(OneRowPerLineInOrder(), "a line without its row would be drawn anywhere");

}  // namespace

const LineLayout& LayoutOf(ScreenLine line) {
  return kLayout[static_cast<std::size_t>(line)].layout;
}

void StartLine(Panel& panel, ScreenLine line) {
  const LineLayout& layout = LayoutOf(line);
  MoveTo(panel, layout.x, layout.y);
  if (layout.font) SetFont(panel, *layout.font);
  if (layout.colour) SetColour(panel, *layout.colour);
}

void SetFont(Panel& panel, const TextFont& font) {
  SetFont(panel, FaceName(font.face), font.points, font.weight);
}

}  // namespace voskel
