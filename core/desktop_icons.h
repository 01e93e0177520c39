#pragma once
// The desktop-icons menu item. Its caption is the only record of whether the
// program has hidden the icons: it names what the next click does.

#include <optional>
#include <string_view>

namespace talvorin::core {

inline constexpr std::u16string_view kMenuHideDesktopIcons = u"Скрыть значки на Рабочем столе";
inline constexpr std::u16string_view kMenuShowDesktopIcons = u"Показать значки на Рабочем столе";

enum class DesktopIconsAction { Hide, Show };

struct DesktopIconsToggle {
  std::u16string_view caption;  // the item's caption from now on
  DesktopIconsAction action;
};

// What a click on the item does with this caption. The caption must match
// one of the two texts exactly; any other caption means no action at all.
std::optional<DesktopIconsToggle> toggle_desktop_icons(std::u16string_view caption);

}  // namespace talvorin::core
