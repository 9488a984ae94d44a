#pragma once
// The screen's lines: where each is drawn, in which font and colour. Drawing code names a
// line; the pixels stay where the panel has always put them.
#include <optional>

#include "core/panel.h"

namespace voskel {

// The face names reach the platform's font matching as given, and each line has always
// asked for its own spelling; each spelling is written once, in layout.cpp.
enum class Face { kAriel, kAerial, kArielCapitals };

struct TextFont {
  Face face;
  int points;
  int weight;
};

// The fonts the pen is left in after a line.
inline constexpr TextFont kSmallFont{Face::kAriel, 30, 700};
inline constexpr TextFont kSmallAerialFont{Face::kAerial, 30, 700};

enum class ScreenLine {
  kLog,            // the key log, a test exchange, a network client's setting
  kStartUp,        // where start-up leaves the pen; nothing is drawn there
  kTitle,          // title and credit
  kConfigMissing,  // the two lines of a missing configuration file
  kConfigMissingHint,
  kMeter,  // the signal meter; also "receiver not connected"
  kMode,
  kSelectedBankNumber,  // on the left under the meter
  kSelectedBankName,
  kFrequencyBlank,  // blanks before the frequency, in the pen's colour
  kFrequency,
  kSearchLow,  // the search settings line
  kSearchStep,
  kSearchStopMode,
  kSearchHigh,
  kScanStatus,         // "*** SCANNING ***", "*** STOPPED ***"
  kSearchStatus,       // "Search Mode Active" while a search is followed
  kSearchStartStatus,  // the same words as a search starts, drawn 20 pixels further right
  // The tag of a channel selected with the arrows, and the note of a channel a scan holds
  // on, share one line but not one left edge; the search limits are drawn large there too.
  kChannelTag,
  kChannelNote,
  kSearchLimits,
  kKeyStart,     // where every key leaves the pen before it runs
  kFoundCount,   // a search's count of hits
  kLowerBlank1,  // the lower part, blanked before every Enter in the pen's colour
  kLowerBlank2,
  kLowerBlank3,
  kLowerBlank4,
};

// No font or colour: the line is drawn in what the pen holds.
struct LineLayout {
  int x;
  int y;
  std::optional<TextFont> font;
  std::optional<platform::Colour> colour;
};

const LineLayout& LayoutOf(ScreenLine line);
// The pen to the line's start, in its font and colour where it has its own.
void StartLine(Panel& panel, ScreenLine line);
void SetFont(Panel& panel, const TextFont& font);

}  // namespace voskel
