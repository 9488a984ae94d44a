#pragma once
// The key codes the commands work on: Windows virtual-key codes, the full stop already
// turned into '.'.
namespace voskel::keys {

inline constexpr int kEnter = 13;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kPoint = 46;
inline constexpr int kF1 = 112;
inline constexpr int kF7 = 118;
inline constexpr int kFullStop = 190;

constexpr bool IsDigit(int key) { return key >= '0' && key <= '9'; }

}  // namespace voskel::keys
