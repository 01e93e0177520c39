#pragma once
// Which Start button the shell has, and where the program lays its own
// caption over a button that paints no text of its own.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/text_effect.h"

namespace talvorin::core {

// A window of the shell as one search saw it: screen coordinates.
struct ShellWindowSeen {
  std::uintptr_t handle = 0;
  bool visible = false;
  PixelRect rect{};
};

// A taskbar window ("Shell_TrayWnd", or "Shell_SecondaryTrayWnd" on another
// monitor) with its "Start" child where it has one.
struct TaskbarSeen {
  ShellWindowSeen window;
  bool topmost = false;
  std::optional<ShellWindowSeen> start;
};

// What the searches found, in the order they look.
struct StartButtonSearch {
  std::optional<TaskbarSeen> taskbar;  // the first "Shell_TrayWnd"
  // Its "Button" child and whether the shell draws that button itself.
  std::optional<ShellWindowSeen> button;
  bool button_owner_drawn = false;
  // A top-level "Button" on the taskbar window's thread: the orb.
  std::optional<ShellWindowSeen> orb;
  std::vector<TaskbarSeen> secondary;  // each "Shell_SecondaryTrayWnd"
};

enum class StartButtonShape {
  PaintsText,     // a Button child that shows its window text: XP, classic shells
  OwnerDrawn,     // a Button child drawn from the shell's own label: Wine
  Orb,            // a top-level Button on the taskbar's thread: Vista and 7
  StartChildren,  // a "Start" child of each taskbar: 8 to 11
  Missing,        // no Start button
};

// One window of the program's over a Start button. It stands directly above
// `above` in the z-order, or with the topmost windows while the taskbar is.
struct OverlayPlacement {
  PixelRect rect{};
  std::uintptr_t above = 0;
  bool topmost = false;

  friend bool operator==(const OverlayPlacement&, const OverlayPlacement&) = default;
};

struct StartButtonPlan {
  StartButtonShape shape = StartButtonShape::Missing;
  std::vector<OverlayPlacement> overlays;  // the ones to show; every other one hides

  // Where the program shows the caption, by text or overlay, the button was
  // found and there is nothing to report.
  bool found() const { return shape != StartButtonShape::Missing; }
};

// Which shape the search found (the first that fits, in the order of the
// enumeration) and the overlays it needs for the caption.
StartButtonPlan plan_start_button(const StartButtonSearch& search, std::u16string_view caption);

}  // namespace talvorin::core
