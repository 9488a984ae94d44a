#include "platform/sdl/key_codes.h"

#include "platform/virtual_keys.h"

namespace voskel::platform {

namespace {

int DigitKey(int digit) {
  return '0' + digit;
}

// The keys known by their place on the keyboard, whatever the layout prints on them.
struct PlacedKey {
  SDL_Scancode scancode;
  int key;
};

constexpr PlacedKey kPlacedKeys[] = {
    {SDL_SCANCODE_0, '0'},
    {SDL_SCANCODE_KP_0, '0'},
    {SDL_SCANCODE_RETURN, keys::kEnter},
    {SDL_SCANCODE_RETURN2, keys::kEnter},
    {SDL_SCANCODE_KP_ENTER, keys::kEnter},
    {SDL_SCANCODE_SPACE, keys::kSpace},
    {SDL_SCANCODE_PAGEUP, keys::kPageUp},
    {SDL_SCANCODE_PAGEDOWN, keys::kPageDown},
    {SDL_SCANCODE_END, keys::kEnd},
    {SDL_SCANCODE_HOME, keys::kHome},
    {SDL_SCANCODE_LEFT, keys::kLeft},
    {SDL_SCANCODE_UP, keys::kUp},
    {SDL_SCANCODE_RIGHT, keys::kRight},
    {SDL_SCANCODE_DOWN, keys::kDown},
    {SDL_SCANCODE_PERIOD, keys::kFullStop},
    {SDL_SCANCODE_KP_PERIOD, keys::kFullStop},
    {SDL_SCANCODE_KP_DECIMAL, keys::kFullStop},
    {SDL_SCANCODE_BACKSPACE, keys::kBack},
    {SDL_SCANCODE_TAB, keys::kTab},
    {SDL_SCANCODE_ESCAPE, keys::kEscape},
    {SDL_SCANCODE_KP_MULTIPLY, keys::kMultiply},
    {SDL_SCANCODE_KP_PLUS, keys::kAdd},
    {SDL_SCANCODE_KP_MINUS, keys::kSubtract},
    {SDL_SCANCODE_KP_DIVIDE, keys::kDivide},
    {SDL_SCANCODE_SEMICOLON, keys::kOemSemicolon},
    {SDL_SCANCODE_EQUALS, keys::kOemPlus},
    {SDL_SCANCODE_COMMA, keys::kOemComma},
    {SDL_SCANCODE_MINUS, keys::kOemMinus},
    {SDL_SCANCODE_SLASH, keys::kOemSlash},
    {SDL_SCANCODE_GRAVE, keys::kOemBackquote},
    {SDL_SCANCODE_LEFTBRACKET, keys::kOemOpenBracket},
    {SDL_SCANCODE_BACKSLASH, keys::kOemBackslash},
    {SDL_SCANCODE_RIGHTBRACKET, keys::kOemCloseBracket},
    {SDL_SCANCODE_APOSTROPHE, keys::kOemQuote},
};

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
  for (const PlacedKey& placed : kPlacedKeys)
    if (placed.scancode == scancode) return placed.key;
  return 0;
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
