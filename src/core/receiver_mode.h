#pragma once
// The receiver's modes: one row each, with every spelling the panel, its files, the
// receiver and Hamlib use for it. Files and the wire keep their texts, "CW " with its blank
// included, so the texts here are exact.
#include <optional>
#include <span>
#include <string_view>

namespace voskel {

enum class Mode {
  FM,
  AM,
  LSB,
  USB,
  WFM,
  CW,
  // "CW" without the blank, as a memory scan's listing of a bank reads it back: shown and
  // stored so, never sent by ApplyMode (the receiver keeps the channel's own mode) and not
  // named by SpeakMode.
  ListedCW,
  Auto,
};

// How the name reads on the screen and in files, and the clip SpeakMode says for it. One
// pair, since SpeakMode finds the clip by the exact text.
struct ModeText {
  std::string_view name;
  std::string_view nameClip;  // empty: SpeakMode says nothing
};

struct ModeRow {
  Mode mode;
  ModeText text;
  std::string_view command;  // what selects it; empty: never sent
  char digit;                // the receiver's mode digit after "MD"; '\0': it has none
  std::string_view clip;     // said once the receiver took it, or read it from a listing
  std::string_view hamlib;   // Hamlib's name; empty: none (the receiver picks the mode)
  int passbandHz;            // the one Hamlib gives the AR8600 for the mode
  // Hamlib sets other filters of this mode (narrow, wide) that the panel has no key for;
  // in the other modes the filter follows the mode, and any width is taken.
  bool widthChosen;
  // F6 has always left the pen in the small face after saying the mode.
  bool smallPenAfter;
};

std::span<const ModeRow> ModeRows();
const ModeRow& RowOf(Mode mode);
// The row whose name is exactly this text ("CW " and "CW" are two rows; "FM " is none).
const ModeRow* ModeNamed(std::string_view name);
// The mode the receiver reports by its digit (a state reply): "CW " for 5.
const ModeRow* ReportedMode(char digit);
// The mode a memory scan's channel listing gives by its digit: "CW" for 5.
const ModeRow* ListedMode(char digit);
// The first row with this Hamlib name: the one a client's setting selects.
const ModeRow* HamlibModeRow(std::string_view hamlibName);
// The receiver's mode digit for a bank's mode line, whose trailing blanks and tabs never
// count; none for a line that names no receiver mode ("AUT", junk).
std::optional<char> BankModeDigit(std::string_view modeLine);

}  // namespace voskel
