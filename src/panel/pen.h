#pragma once
// The pen model of the panel window: move, choose colour and font, print; a print leaves
// the pen just after the text, and every line is placed with MoveTo.
#include <string>
#include <string_view>
#include <type_traits>

#include "core/panel.h"

namespace voskel {

inline constexpr const char* kPanelTitle = "*** AR8600 Voskel Front Panel v4.1a***";

bool OpenPanel(Panel& panel);
void MoveTo(Panel& panel, int x, int y);
void SetColour(Panel& panel, platform::Colour colour);
void SetFont(Panel& panel, std::string_view face, int points, int weight, int flags = 0);
void ClosePanel(Panel& panel);

// Draws the composed text at the pen; only a final line end is removed.
void PrintText(Panel& panel, std::string text);

namespace detail {
inline void AppendItem(std::string& text, std::string_view item) { text += item; }
inline void AppendItem(std::string& text, const char* item) { text += item; }
inline void AppendItem(std::string& text, const std::string& item) { text += item; }
inline void AppendItem(std::string& text, int item) { text += std::to_string(item) + " "; }
}  // namespace detail

// Items are texts, used unchanged, and integers, written as "%d ".
template <typename... Items>
void PrintAt(Panel& panel, const Items&... items) {
  std::string text;
  (detail::AppendItem(text, items), ...);
  PrintText(panel, std::move(text));
}

}  // namespace voskel
