#include "platform/sdl/key_codes.h"

namespace voskel::platform {

namespace {

constexpr int kVkBack = 8;
constexpr int kVkTab = 9;
constexpr int kVkReturn = 13;
constexpr int kVkEscape = 27;
constexpr int kVkSpace = 32;
constexpr int kVkPrior = 33;
constexpr int kVkNext = 34;
constexpr int kVkEnd = 35;
constexpr int kVkHome = 36;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkMultiply = 106;
constexpr int kVkAdd = 107;
constexpr int kVkSubtract = 109;
constexpr int kVkDivide = 111;
constexpr int kVkF1 = 112;
constexpr int kVkOemSemicolon = 186;
constexpr int kVkOemPlus = 187;
constexpr int kVkOemComma = 188;
constexpr int kVkOemMinus = 189;
constexpr int kVkOemPeriod = 190;
constexpr int kVkOemSlash = 191;
constexpr int kVkOemBackquote = 192;
constexpr int kVkOemOpenBracket = 219;
constexpr int kVkOemBackslash = 220;
constexpr int kVkOemCloseBracket = 221;
constexpr int kVkOemQuote = 222;

int DigitKey(int digit) {
  return '0' + digit;
}

int ByPosition(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return DigitKey(1 + (scancode - SDL_SCANCODE_1));
  }
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
    return DigitKey(1 + (scancode - SDL_SCANCODE_KP_1));
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return kVkF1 + (scancode - SDL_SCANCODE_F1);
  }
  switch (scancode) {
    case SDL_SCANCODE_0:
    case SDL_SCANCODE_KP_0:
      return DigitKey(0);
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER:
      return kVkReturn;
    case SDL_SCANCODE_SPACE:
      return kVkSpace;
    case SDL_SCANCODE_PAGEUP:
      return kVkPrior;
    case SDL_SCANCODE_PAGEDOWN:
      return kVkNext;
    case SDL_SCANCODE_END:
      return kVkEnd;
    case SDL_SCANCODE_HOME:
      return kVkHome;
    case SDL_SCANCODE_LEFT:
      return kVkLeft;
    case SDL_SCANCODE_UP:
      return kVkUp;
    case SDL_SCANCODE_RIGHT:
      return kVkRight;
    case SDL_SCANCODE_DOWN:
      return kVkDown;
    case SDL_SCANCODE_PERIOD:
    case SDL_SCANCODE_KP_PERIOD:
    case SDL_SCANCODE_KP_DECIMAL:
      return kVkOemPeriod;
    case SDL_SCANCODE_BACKSPACE:
      return kVkBack;
    case SDL_SCANCODE_TAB:
      return kVkTab;
    case SDL_SCANCODE_ESCAPE:
      return kVkEscape;
    case SDL_SCANCODE_KP_MULTIPLY:
      return kVkMultiply;
    case SDL_SCANCODE_KP_PLUS:
      return kVkAdd;
    case SDL_SCANCODE_KP_MINUS:
      return kVkSubtract;
    case SDL_SCANCODE_KP_DIVIDE:
      return kVkDivide;
    case SDL_SCANCODE_SEMICOLON:
      return kVkOemSemicolon;
    case SDL_SCANCODE_EQUALS:
      return kVkOemPlus;
    case SDL_SCANCODE_COMMA:
      return kVkOemComma;
    case SDL_SCANCODE_MINUS:
      return kVkOemMinus;
    case SDL_SCANCODE_SLASH:
      return kVkOemSlash;
    case SDL_SCANCODE_GRAVE:
      return kVkOemBackquote;
    case SDL_SCANCODE_LEFTBRACKET:
      return kVkOemOpenBracket;
    case SDL_SCANCODE_BACKSLASH:
      return kVkOemBackslash;
    case SDL_SCANCODE_RIGHTBRACKET:
      return kVkOemCloseBracket;
    case SDL_SCANCODE_APOSTROPHE:
      return kVkOemQuote;
    default:
      return 0;
  }
}

}  // namespace

int VirtualKeyFor(SDL_Scancode scancode, SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  // The key that types the point is the full stop, wherever a layout puts it.
  if (key == SDLK_PERIOD) return kVkOemPeriod;
  if (int code = ByPosition(scancode); code != 0) return code;
  // A letter key of a layout without Latin letters: the letter of its position.
  const bool nonLatinCharacter = key > 127 && (key & SDLK_SCANCODE_MASK) == 0;
  if (nonLatinCharacter && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  return 0;
}

}  // namespace voskel::platform
