#pragma once
// The fonts the panel draws with, matched by fontconfig once per face and weight and
// opened once per file and size, so that selecting a font on every tick is a lookup.
#include <SDL_ttf.h>

#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

#include "platform/window.h"

namespace voskel::platform {

// The character height in pixels of a font of these points on a 96 dpi screen, which is
// also the size to open it with: SDL_ttf sizes are points at 72 dpi, that is pixels of
// em height, and the em height is what a Windows font height below zero asks for.
int FontPixelSize(int points);

// The window's initial font: the system's sans-serif at 13 pixels, which gives a 16 pixel
// line like the classic system font of a fresh window.
inline constexpr int kInitialFontPixels = 13;

class FontCache {
 public:
  FontCache() = default;
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;
  ~FontCache();

  // The opened font for the request; falls back to DejaVu Sans when fontconfig finds
  // nothing that opens. Null only when not even that font can be opened. Needs TTF_Init.
  TTF_Font* Get(const Font& font);
  // Closes every font; call before TTF_Quit.
  void Clear();

 private:
  struct FontFile {
    std::string path;
    int index = 0;
  };
  using OpenKey = std::tuple<std::string, int, int>;  // path, face index, pixel size

  const FontFile& FileFor(const std::string& face, int weight);
  TTF_Font* Open(const FontFile& file, int pixels, int weight);

  std::unordered_map<std::string, FontFile> files_;  // face + weight -> file
  std::map<OpenKey, TTF_Font*> fonts_;
  std::unordered_map<std::string, TTF_Font*> requests_;  // face + weight + points -> font
  // The last request and its answer: the panel asks for the same font many times a tick.
  Font lastRequest_;
  TTF_Font* lastFont_ = nullptr;
};

}  // namespace voskel::platform
