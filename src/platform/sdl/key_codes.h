#pragma once
// SDL keys as the Windows virtual-key codes the panel's key commands work on.
#include <SDL_keyboard.h>

namespace voskel::platform {

// The virtual-key code of a key, or 0 for a key the panel is not told about.
//
// Letters follow the keyboard layout (the key that types "a" is 65 wherever it sits);
// the digit row and the other punctuation keys follow their position, as Windows codes
// do. Keypad digits, point and Enter give the same codes as the main keys, whatever the
// state of Num Lock. Shift, Control, Alt, the system keys, Caps Lock, Num Lock, Insert
// and Delete are not passed on: a held modifier would otherwise latch the key intake
// and swallow the key pressed with it (screen readers use Insert and Caps Lock as their
// modifier), and Delete shares its code with the point.
int VirtualKeyFor(SDL_Scancode scancode, SDL_Keycode key);

}  // namespace voskel::platform
