#include "platform/sdl/font_cache.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace voskel::platform {

namespace {

constexpr int kScreenDpi = 96;
constexpr int kLargestPixelSize = 400;  // far above anything the panel asks for
constexpr int kBoldWeight = 600;        // Windows weights from here on look bold
constexpr const char* kFallbackRegular = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kFallbackBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kInitialFace = "sans-serif";

// Windows weights are the OpenType ones; 0 means "don't care".
int FontconfigWeight(int windowsWeight) {
  if (windowsWeight <= 0) return FC_WEIGHT_REGULAR;
  return FcWeightFromOpenType(std::clamp(windowsWeight, 1, 1000));
}

bool Match(const std::string& face, int weight, std::string& path, int& index) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  // The face goes in as a family name, never parsed, so ":" or "-" in it stay text.
  if (!face.empty()) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, FontconfigWeight(weight));
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* file = nullptr;
  bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
  if (found) {
    path = reinterpret_cast<const char*>(file);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  }
  FcPatternDestroy(match);
  return found;
}

}  // namespace

int FontPixelSize(int points) {
  long pixels = std::lround(static_cast<double>(points) * kScreenDpi / 72.0);
  return static_cast<int>(std::clamp(pixels, 1L, static_cast<long>(kLargestPixelSize)));
}

FontCache::~FontCache() {
  Clear();
}

void FontCache::Clear() {
  for (auto& [key, font] : fonts_) {
    if (font != nullptr) TTF_CloseFont(font);
  }
  fonts_.clear();
  requests_.clear();
  lastFont_ = nullptr;
  lastRequest_ = Font{};
}

TTF_Font* FontCache::Get(const Font& font) {
  if (lastFont_ != nullptr && font == lastRequest_) return lastFont_;
  std::string key = font.face;
  key += '\0';
  key += std::to_string(font.weight);
  key += '\0';
  key += std::to_string(font.points);
  TTF_Font* opened = nullptr;
  if (auto it = requests_.find(key); it != requests_.end()) {
    opened = it->second;
  } else {
    const bool initial = font.points == 0;
    const int weight = initial ? 400 : font.weight;
    const int pixels = initial ? kInitialFontPixels : FontPixelSize(font.points);
    opened = Open(FileFor(initial ? std::string(kInitialFace) : font.face, weight), pixels, weight);
    requests_.emplace(std::move(key), opened);
  }
  lastRequest_ = font;
  lastFont_ = opened;
  return opened;
}

const FontCache::FontFile& FontCache::FileFor(const std::string& face, int weight) {
  std::string key = face;
  key += '\0';
  key += std::to_string(weight);
  if (auto it = files_.find(key); it != files_.end()) return it->second;
  FontFile file;
  if (!Match(face, weight, file.path, file.index)) {
    file.path = weight >= kBoldWeight ? kFallbackBold : kFallbackRegular;
    file.index = 0;
  }
  return files_.emplace(std::move(key), std::move(file)).first->second;
}

TTF_Font* FontCache::Open(const FontFile& file, int pixels, int weight) {
  OpenKey key{file.path, file.index, pixels};
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  TTF_Font* font = TTF_OpenFontIndex(file.path.c_str(), pixels, file.index);
  // A matched file FreeType cannot open, or a missing one: DejaVu Sans, then any DejaVu.
  for (const char* fallback : {weight >= kBoldWeight ? kFallbackBold : kFallbackRegular,
                               kFallbackRegular, kFallbackBold}) {
    if (font != nullptr) break;
    font = TTF_OpenFont(fallback, pixels);
  }
  // Cached even when null, so a broken font costs one attempt, not one per print.
  fonts_.emplace(std::move(key), font);
  return font;
}

}  // namespace voskel::platform
