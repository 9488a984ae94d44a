#include "core/receiver_mode.h"

#include <cstddef>
#include <iterator>

namespace voskel {
namespace {

// The clips differ by path as they always have: a key's choice says "cw", SpeakMode
// "cw.wav", a memory scan's listing "CW".
constexpr ModeRow kModeRows[] = {
    // mode, {name, SpeakMode's clip}, command, digit, clip, Hamlib, passband, width, pen
    {Mode::FM, {"FM", "fm.wav"}, "MD1", '1', "FM", "FM", 12000, true, false},
    {Mode::AM, {"AM", "am.wav"}, "MD2", '2', "AM", "AM", 9000, true, false},
    {Mode::LSB, {"LSB", "lsb.wav"}, "MD4", '4', "LSB", "LSB", 3000, false, false},
    {Mode::USB, {"USB", "usb.wav"}, "MD3", '3', "USB", "USB", 3000, false, false},
    {Mode::WFM, {"WFM", "wfm.wav"}, "MD0", '0', "WFM", "WFM", 230000, false, false},
    {Mode::CW, {"CW ", "cw.wav"}, "MD5", '5', "cw", "CW", 3000, false, true},
    {Mode::ListedCW, {"CW", {}}, {}, '5', "CW", "CW", 3000, false, false},
    {Mode::Auto, {"AUT", "auto"}, "AU1", '\0', "auto", {}, 0, false, false},
};

// CW comes before ListedCW: a client's "CW" and the receiver's report of digit 5 mean the
// mode the F6 key selects.
constexpr bool OneRowPerModeInOrder() {
  for (std::size_t i = 0; i < std::size(kModeRows); ++i)
    if (kModeRows[i].mode != static_cast<Mode>(i)) return false;
  return std::size(kModeRows) == static_cast<std::size_t>(Mode::Auto) + 1;
}
static_assert(OneRowPerModeInOrder(), "every Mode has its row, in the enum's order");

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::span<const ModeRow> ModeRows() {
  return kModeRows;
}

const ModeRow& RowOf(Mode mode) {
  return kModeRows[static_cast<std::size_t>(mode)];
}

const ModeRow* ModeNamed(std::string_view name) {
  for (const ModeRow& row : kModeRows)
    if (row.text.name == name) return &row;
  return nullptr;
}

const ModeRow* ReportedMode(char digit) {
  for (const ModeRow& row : kModeRows)
    if (digit != '\0' && row.digit == digit && !row.command.empty()) return &row;
  return nullptr;
}

const ModeRow* ListedMode(char digit) {
  const ModeRow* row = ReportedMode(digit);
  // A listing's CW is kept without its blank: ExitScan's ApplyMode then leaves the
  // receiver's own mode alone.
  return row != nullptr && row->mode == Mode::CW ? &RowOf(Mode::ListedCW) : row;
}

const ModeRow* HamlibModeRow(std::string_view hamlibName) {
  for (const ModeRow& row : kModeRows)
    if (!row.hamlib.empty() && row.hamlib == hamlibName) return &row;
  return nullptr;
}

std::optional<char> BankModeDigit(std::string_view modeLine) {
  modeLine = WithoutTrailingBlanks(modeLine);
  for (const ModeRow& row : kModeRows)
    if (row.digit != '\0' && WithoutTrailingBlanks(row.text.name) == modeLine) return row.digit;
  return std::nullopt;
}

}  // namespace voskel
