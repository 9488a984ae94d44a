#include "keys/mode_keys.h"

#include <iterator>

#include "platform/virtual_keys.h"

namespace voskel {
namespace {

constexpr Mode kKeyModes[] = {Mode::FM,  Mode::AM, Mode::LSB, Mode::USB,
                              Mode::WFM, Mode::CW, Mode::Auto};
static_assert(keys::kF1 + static_cast<int>(std::size(kKeyModes)) - 1 == keys::kF7);

}  // namespace

int ModeKeyFor(Mode mode) {
  int key = keys::kF1;
  for (const Mode keyMode : kKeyModes) {
    if (keyMode == mode) return key;
    ++key;
  }
  return 0;
}

Mode ModeOfKey(int key) {
  return kKeyModes[key - keys::kF1];
}

}  // namespace voskel
