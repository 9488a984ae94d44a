#pragma once
#include <string>

namespace voskel::platform {

class Sound {
 public:
  virtual ~Sound() = default;
  // Plays the clip named as the voice code builds it: a voice folder prefix ("wave\\")
  // and a clip name, ".wav" optional ("wave\\scan", "wave\\wfm.wav"). Starting a clip
  // stops the one playing; an empty name only stops. A name that finds no file plays
  // nothing and returns at once. With wait, returns once the clip's own duration has
  // passed.
  virtual void Play(const std::string& fullName, bool wait) = 0;
};

}  // namespace voskel::platform
