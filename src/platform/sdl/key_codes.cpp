#include "platform/sdl/key_codes.h"

#include "platform/virtual_keys.h"

namespace voskel::platform {

namespace {

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
    return keys::kF1 + (scancode - SDL_SCANCODE_F1);
  }
  switch (scancode) {
    case SDL_SCANCODE_0:
    case SDL_SCANCODE_KP_0:
      return DigitKey(0);
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER:
      return keys::kEnter;
    case SDL_SCANCODE_SPACE:
      return keys::kSpace;
    case SDL_SCANCODE_PAGEUP:
      return keys::kPageUp;
    case SDL_SCANCODE_PAGEDOWN:
      return keys::kPageDown;
    case SDL_SCANCODE_END:
      return keys::kEnd;
    case SDL_SCANCODE_HOME:
      return keys::kHome;
    case SDL_SCANCODE_LEFT:
      return keys::kLeft;
    case SDL_SCANCODE_UP:
      return keys::kUp;
    case SDL_SCANCODE_RIGHT:
      return keys::kRight;
    case SDL_SCANCODE_DOWN:
      return keys::kDown;
    case SDL_SCANCODE_PERIOD:
    case SDL_SCANCODE_KP_PERIOD:
    case SDL_SCANCODE_KP_DECIMAL:
      return keys::kFullStop;
    case SDL_SCANCODE_BACKSPACE:
      return keys::kBack;
    case SDL_SCANCODE_TAB:
      return keys::kTab;
    case SDL_SCANCODE_ESCAPE:
      return keys::kEscape;
    case SDL_SCANCODE_KP_MULTIPLY:
      return keys::kMultiply;
    case SDL_SCANCODE_KP_PLUS:
      return keys::kAdd;
    case SDL_SCANCODE_KP_MINUS:
      return keys::kSubtract;
    case SDL_SCANCODE_KP_DIVIDE:
      return keys::kDivide;
    case SDL_SCANCODE_SEMICOLON:
      return keys::kOemSemicolon;
    case SDL_SCANCODE_EQUALS:
      return keys::kOemPlus;
    case SDL_SCANCODE_COMMA:
      return keys::kOemComma;
    case SDL_SCANCODE_MINUS:
      return keys::kOemMinus;
    case SDL_SCANCODE_SLASH:
      return keys::kOemSlash;
    case SDL_SCANCODE_GRAVE:
      return keys::kOemBackquote;
    case SDL_SCANCODE_LEFTBRACKET:
      return keys::kOemOpenBracket;
    case SDL_SCANCODE_BACKSLASH:
      return keys::kOemBackslash;
    case SDL_SCANCODE_RIGHTBRACKET:
      return keys::kOemCloseBracket;
    case SDL_SCANCODE_APOSTROPHE:
      return keys::kOemQuote;
    default:
      return 0;
  }
}

}  // namespace

int VirtualKeyFor(SDL_Scancode scancode, SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  // The key that types the point is the full stop, wherever a layout puts it.
  if (key == SDLK_PERIOD) return keys::kFullStop;
  if (int code = ByPosition(scancode); code != 0) return code;
  // A letter key of a layout without Latin letters: the letter of its position.
  const bool nonLatinCharacter = key > 127 && (key & SDLK_SCANCODE_MASK) == 0;
  if (nonLatinCharacter && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  return 0;
}

}  // namespace voskel::platform
