#include "platform/sdl/key_codes.h"

#include <gtest/gtest.h>

namespace voskel::platform {
namespace {

struct KeyCase {
  SDL_Scancode scancode;
  SDL_Keycode key;
  int code;
};

TEST(PlatformKeyCodes, KeysTheCommandsUseGiveTheirWindowsCodes) {
  const KeyCase cases[] = {
      {SDL_SCANCODE_A, SDLK_a, 65},
      {SDL_SCANCODE_Z, SDLK_z, 90},
      {SDL_SCANCODE_Q, SDLK_a, 65},  // AZERTY: the key typing "a" is A
      {SDL_SCANCODE_1, SDLK_1, 49},
      {SDL_SCANCODE_0, SDLK_0, 48},
      {SDL_SCANCODE_1, SDLK_AMPERSAND, 49},  // AZERTY digit row, unshifted
      {SDL_SCANCODE_KP_0, SDLK_KP_0, 48},
      {SDL_SCANCODE_KP_7, SDLK_KP_7, 55},
      {SDL_SCANCODE_KP_9, SDLK_PAGEUP, 57},  // Num Lock off
      {SDL_SCANCODE_RETURN, SDLK_RETURN, 13},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, 32},
      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 33},
      {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 34},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, 37},
      {SDL_SCANCODE_UP, SDLK_UP, 38},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},
      {SDL_SCANCODE_DOWN, SDLK_DOWN, 40},
      {SDL_SCANCODE_F1, SDLK_F1, 112},
      {SDL_SCANCODE_F7, SDLK_F7, 118},
      {SDL_SCANCODE_F12, SDLK_F12, 123},
      {SDL_SCANCODE_PERIOD, SDLK_PERIOD, 190},
      {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 190},
      {SDL_SCANCODE_KP_DECIMAL, SDLK_KP_DECIMAL, 190},
      {SDL_SCANCODE_KP_PERIOD, SDLK_DELETE, 190},  // Num Lock off
      {SDL_SCANCODE_COMMA, SDLK_PERIOD, 190},      // a layout with the point elsewhere
      {SDL_SCANCODE_A, 0x0444, 65},                // Russian layout: the A key
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(VirtualKeyFor(c.scancode, c.key), c.code)
        << SDL_GetScancodeName(c.scancode) << " / key " << c.key;
  }
}

TEST(PlatformKeyCodes, ModifiersAndKeysThatWouldMisleadTheIntakeAreNotPassedOn) {
  const KeyCase cases[] = {
      {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0},     {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0},
      {SDL_SCANCODE_LALT, SDLK_LALT, 0},         {SDL_SCANCODE_LGUI, SDLK_LGUI, 0},
      {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 0}, {SDL_SCANCODE_INSERT, SDLK_INSERT, 0},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, 0},     {SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 0},
      {SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, 0},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(VirtualKeyFor(c.scancode, c.key), c.code) << SDL_GetScancodeName(c.scancode);
  }
}

}  // namespace
}  // namespace voskel::platform
