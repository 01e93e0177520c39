#pragma once
// Which Start button the shell has, and where the program lays its own
// caption over a button that paints no text of its own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/geometry.h"

namespace talvorin::core {

// A window of the shell as one search saw it: screen coordinates.
struct ShellWindowSeen {
  std::uintptr_t handle = 0;
  bool visible = false;
  PixelRect rect{};
  // For a Start button: the monitor it is on. Nothing of the button outside
  // it can be seen, on this monitor or, spilling over, on the next one.
  PixelRect monitor{};
};

// A taskbar window ("Shell_TrayWnd", or "Shell_SecondaryTrayWnd" on another
// monitor) with its "Start" child where it has one.
struct TaskbarSeen {
  ShellWindowSeen window;
  bool topmost = false;
  std::optional<ShellWindowSeen> start;
  // The bounding box of its window region, in window coordinates (from the
  // window's top left corner): the part of the window the screen shows.
  std::optional<PixelRect> region{};
};

// What the searches found, in the order they look.
struct StartButtonSearch {
  std::optional<TaskbarSeen> taskbar;  // the first "Shell_TrayWnd"
  // Its "Button" child and whether the shell draws that button itself.
  std::optional<ShellWindowSeen> button;
  bool button_owner_drawn = false;
  // A top-level "Button" on the taskbar window's thread: the orb. Looked for
  // only where the taskbar has no "Start" child.
  std::optional<ShellWindowSeen> orb;
  std::vector<TaskbarSeen> secondary;  // each "Shell_SecondaryTrayWnd"
};

enum class StartButtonShape {
  PaintsText,     // a Button child that shows its window text: XP, classic shells
  OwnerDrawn,     // a Button child drawn from the shell's own label: Wine
  StartChildren,  // a "Start" child of each taskbar: 8 to 11
  Orb,            // a top-level Button on the taskbar's thread: Vista and 7
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

// What a caption window must do to show a placement with a caption, from
// what it showed last: moved or drawn anew only where its place or the
// caption changed or it was hidden, made topmost or not only where that
// changed. The caption windows and their simulation both keep one.
struct OverlayUpdate {
  bool set_caption = false;  // the caption differs from the one it has
  bool move = false;         // to the placement's rectangle
  bool set_topmost = false;  // topmost or not, as the placement says
  bool show = false;         // it was hidden
  bool redraw = false;       // its picture changed: shown, moved or a new caption
};

class OverlayState {
 public:
  // What showing `placement` with `caption` asks; the state holds them after.
  OverlayUpdate show(const OverlayPlacement& placement, std::u16string_view caption);
  // Whether hiding asks anything: only a shown overlay hides.
  bool hide() { return std::exchange(shown_, false); }

  bool shown() const { return shown_; }
  const OverlayPlacement& placement() const { return placement_; }
  const std::u16string& caption() const { return caption_; }

 private:
  OverlayPlacement placement_{};
  std::u16string caption_;
  bool shown_ = false;
};

// Less than this much of a button left in either direction is no button a
// user can see or aim at: an auto-hidden taskbar leaves 2 px on the screen.
inline constexpr std::int32_t kSmallestVisibleButton = 8;

// The part of the button the user can see: what lies inside its taskbar
// (the Vista and 7 orb stands out above it), inside the taskbar's window
// region where it has one (Windows 11's touch taskbar is a window taller
// than the part it shows) and inside its monitor (a taskbar that slides off
// the screen). nullopt when too little is left.
std::optional<PixelRect> visible_part(const PixelRect& button, const PixelRect& taskbar, const PixelRect& monitor,
                                      const std::optional<PixelRect>& taskbar_region = std::nullopt);

// What lies directly beneath a caption window in the z-order, looked at one
// window at a time from the caption window down.
enum class Beneath {
  Taskbar,        // the taskbar it stands over
  CaptionWindow,  // a caption window of this program's, or of another copy's
  Other,          // any other window, or the bottom of the z-order
};

enum class ZOrderLook { InPlace, LookFurther, Move };

// A caption window stands in its place when only caption windows lie
// between it and its taskbar: no copy moves because of another, so two
// copies never take turns above each other. Any other window between, or
// the taskbar not beneath it at all, and it moves back onto its taskbar.
ZOrderLook next_zorder_look(Beneath beneath);

// How many caption windows one look at the z-order goes past at the most:
// a copy for each caption window is more than anyone runs.
inline constexpr int kMostCaptionWindowsBeneath = 16;

// The z-order of the top-level windows as a caption window reads it, one
// window at a time: each read is a trip to the window server.
class ZOrder {
 public:
  virtual ~ZOrder() = default;
  // The window directly beneath or directly above; 0 past either end.
  virtual std::uintptr_t beneath(std::uintptr_t window) = 0;
  virtual std::uintptr_t above(std::uintptr_t window) = 0;
  virtual bool is_caption_window(std::uintptr_t window) = 0;
  virtual bool is_topmost(std::uintptr_t window) = 0;
};

// Where SetWindowPos puts a caption window: directly beneath a window (its
// hWndInsertAfter), on top of the ordinary windows, or on top of them all.
struct ZOrderMove {
  enum class To { Beneath, Top, Topmost };
  To to = To::Top;
  std::uintptr_t window = 0;  // for Beneath

  friend bool operator==(const ZOrderMove&, const ZOrderMove&) = default;
};

// The move that puts the caption window back directly above its taskbar,
// beneath whatever stands above that taskbar (a full-screen program), or
// nothing where it stands in its place already. `topmost` says whether the
// taskbar was topmost when the search read it.
std::optional<ZOrderMove> caption_window_move(ZOrder& z_order, std::uintptr_t caption_window, std::uintptr_t taskbar,
                                              bool topmost);

// Whether a caption reads right to left: its first strong character is
// Hebrew, Arabic or of another right-to-left script. Digits, blanks and
// punctuation take no side.
bool reads_right_to_left(std::u16string_view caption);

}  // namespace talvorin::core
