#include "platform/sdl/quiet_alsa.h"

#include <alsa/asoundlib.h>

namespace voskel::platform {
namespace {

extern "C" void DropAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void QuietAlsa() {
  // SDL opens libasound by its soname, so it shares this process's copy and its handler.
  snd_lib_error_set_handler(DropAlsaError);
}

}  // namespace voskel::platform
