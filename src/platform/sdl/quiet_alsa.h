#pragma once
// libasound writes its own error lines to stderr while SDL tries its ALSA driver: nine of
// them on a computer without a sound card. They say nothing a listener can act on; what
// came of the attempt is told in the panel's own one line.
namespace voskel::platform {

// From now on libasound's error lines go nowhere. Called before SDL opens its audio.
void QuietAlsa();

}  // namespace voskel::platform
