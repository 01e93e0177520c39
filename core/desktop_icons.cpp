#include "core/desktop_icons.h"

namespace talvorin::core {

std::optional<DesktopIconsToggle> toggle_desktop_icons(std::u16string_view caption) {
  if (caption == kMenuHideDesktopIcons) return DesktopIconsToggle{kMenuShowDesktopIcons, DesktopIconsAction::Hide};
  if (caption == kMenuShowDesktopIcons) return DesktopIconsToggle{kMenuHideDesktopIcons, DesktopIconsAction::Show};
  return std::nullopt;
}

}  // namespace talvorin::core
