#pragma once
// Windows virtual-key codes: what the window delivers and what the key commands work on.
// Letters are their upper-case character codes, digits their characters.
namespace voskel::keys {

inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kPoint = 46;  // the full stop once the key intake has taken it
inline constexpr int kMultiply = 106;
inline constexpr int kAdd = 107;
inline constexpr int kSubtract = 109;
inline constexpr int kDivide = 111;
inline constexpr int kF1 = 112;
inline constexpr int kF7 = 118;
inline constexpr int kF8 = 119;
inline constexpr int kF9 = 120;
inline constexpr int kOemSemicolon = 186;
inline constexpr int kOemPlus = 187;
inline constexpr int kOemComma = 188;
inline constexpr int kOemMinus = 189;
inline constexpr int kFullStop = 190;
inline constexpr int kOemSlash = 191;
inline constexpr int kOemBackquote = 192;
inline constexpr int kOemOpenBracket = 219;
inline constexpr int kOemBackslash = 220;
inline constexpr int kOemCloseBracket = 221;
inline constexpr int kOemQuote = 222;

constexpr bool IsDigit(int key) {
  return key >= '0' && key <= '9';
}

}  // namespace voskel::keys
